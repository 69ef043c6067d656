#include <QApplication>
#include <QTemporaryDir>
#include <cstdio>

#include "command_line.h"
#include "form1.h"
#include "qt_dialogs.h"
#include "settings_file.h"

int main(int argc, char* argv[]) {
  // "-h", "--help" and "--version" alone are answered before any window or display is needed.
  if (const auto reply = CommandLineReply(argc, argv)) {
    return std::fputs(reply->c_str(), stdout) >= 0 && std::fflush(stdout) == 0 ? 0 : 1;
  }
  // The file name is taken before Qt removes the arguments it knows.
  const std::string commandLine = CommandLineText(argc, argv);
  QApplication app(argc, argv);
  // Where the view's remembered choices live (QSettings); no display name, which the window
  // system would append to every dialog's title.
  QCoreApplication::setOrganizationName("mlsvexal");
  QCoreApplication::setApplicationName("mlsvexal");
  // Settings only through regular files: a FIFO there would block the first QSettings for ever.
  const auto sessionSettings = KeepSettingsSafe();
  QtDialogs dialogs;
  Form1 form(commandLine, dialogs);
  form.show();
  return app.exec();
}

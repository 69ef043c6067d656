#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLocale>
#include <QSettings>
#include <QStandardPaths>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  // The view's remembered choices go to a folder of the tests' own, emptied for every run.
  // Each test process has settings of its own (ctest runs them side by side), removed at the end.
  QStandardPaths::setTestModeEnabled(true);
  QCoreApplication::setApplicationName(
      QStringLiteral("mlsvexal-test-%1").arg(QCoreApplication::applicationPid()));
  QSettings().clear();
  QLocale::setDefault(QLocale::c());  // tests that need another locale set it themselves
  ::testing::InitGoogleTest(&argc, argv);
  const int status = RUN_ALL_TESTS();
  const QString settingsFile = QSettings().fileName();
  QSettings().clear();
  QFile::remove(settingsFile);
  return status;
}

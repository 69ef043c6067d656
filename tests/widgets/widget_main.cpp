#include <gtest/gtest.h>

#include <QApplication>
#include <QLocale>
#include <QSettings>
#include <QStandardPaths>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  // The view's remembered choices go to a folder of the tests' own, emptied for every run.
  QStandardPaths::setTestModeEnabled(true);
  QSettings().clear();
  QLocale::setDefault(QLocale::c());  // tests that need another locale set it themselves
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

// Start-up, the window's layout and its sizes after a paint.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "command_line.h"
#include "initial_image.h"
#include "no_pause.h"
#include "picture_box.h"
#include "widget_support.h"
#include "window_layout.h"

namespace {

// The designed place, below the menu bar.
void ExpectGeometry(const Form1& form, const QWidget* widget, const design::Rect& at) {
  EXPECT_EQ(QRect(widget->mapTo(&form, QPoint()), widget->size()),
            QRect(at.left, at.top + form.MenuBarHeight(), at.width, at.height))
      << widget->objectName().toStdString();
}
}  // namespace

TEST(WindowStart, WithoutArgumentsShowsTheDesignedWindowAndLoadsNothing) {
  ScriptedDialogs dialogs;
  Form1 form("", dialogs, kNoPause);
  Start(form);

  EXPECT_EQ(form.windowTitle(), "MLS Vexal");
  EXPECT_EQ(form.objectName(), "Form1");
  EXPECT_EQ(form.Text1()->text(), "");
  EXPECT_EQ(form.State().RangeDb, 100.0f);
  EXPECT_EQ(form.State().Decimation, 4);
  EXPECT_EQ(form.State().LevelGrid.MicCount(), 0);
  EXPECT_EQ(form.size(), QSize(design::kClientWidth, design::kClientHeight + form.ChromeHeight()));
  ExpectGeometry(form, form.Text1(), design::kText1);
  ExpectGeometry(form, form.Command1(), design::kCommand1);
  ExpectGeometry(form, form.Command2(), design::kCommand2);
  ExpectGeometry(form, form.Picture1(), design::kPicture1);
  ExpectGeometry(form, form.ProgressBar1(), design::kProgressBar1);
  EXPECT_EQ(form.Command1()->text(), "Browse");
  EXPECT_EQ(form.Command2()->text(), "Redraw");
  EXPECT_EQ(form.ProgressBar1()->minimum(), 0);
  EXPECT_EQ(form.ProgressBar1()->maximum(), 100);

  const QImage shown = ShownInterior(form);
  EXPECT_EQ(GreyAt(shown, 0, 0), qGray(InitialImage().pixel(0, 0)));
  EXPECT_EQ(GreyAt(shown, 1, 0), kPictureBackground);
  EXPECT_TRUE(BackgroundColumn(shown, shown.width() - 1));
  EXPECT_TRUE(dialogs.errors.empty());
}

TEST(WindowStart, ControlsStackAndTabInTheDesignedOrder) {
  ScriptedDialogs dialogs;
  Form1 form("", dialogs, kNoPause);
  // The progress bar lies beneath the file name.
  const QObjectList& children = form.children();
  EXPECT_LT(children.indexOf(form.ProgressBar1()), children.indexOf(form.Text1()));
  QWidget* next = form.Picture1();
  for (QWidget* expected : std::initializer_list<QWidget*>{form.Command1(), form.Text1(),
                                                           form.ProgressBar1(), form.Command2()}) {
    next = next->nextInFocusChain();
    EXPECT_EQ(next, expected) << next->objectName().toStdString();
  }
}

TEST(WindowStart, ArgumentHoldingBlanksIsOneFileLoadedAndPaintedAtActivation) {
  TempFolder folder;
  const std::string path = WriteRamp(folder, "room scan.mls", 100, 50);
  const std::string head = path.substr(0, path.find(' '));
  const char* argv[] = {"mlsvexal", head.c_str(), "scan.mls"};
  const std::string commandLine = CommandLineText(3, argv);
  ASSERT_EQ(commandLine, path);

  ScriptedDialogs dialogs;
  Form1 form(commandLine, dialogs, kNoPause);
  EXPECT_EQ(form.Text1()->text().toStdString(), path);  // set by Form_Load
  EXPECT_EQ(form.State().LevelGrid.MicCount(), 0);      // nothing before the window shows
  Start(form);

  ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors.front();
  EXPECT_EQ(form.State().LevelGrid.MicCount(), 100);
  EXPECT_EQ(form.State().LevelGrid.RowCount(), 50);
  EXPECT_EQ(PaintedColumns(form), 100);
  EXPECT_TRUE(form.Text1()->isVisible());
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  // One pixel per cell inside a 2-pixel border; the scale's room to the right.
  EXPECT_EQ(form.Picture1()->size(), QSize(104, 54));
  EXPECT_EQ(form.Text1()->width(), 129);
  EXPECT_EQ(form.ProgressBar1()->width(), 129);
  EXPECT_EQ(form.height(), 144 + form.ChromeHeight());
  // 139 by the size rule, but never narrower than both buttons.
  EXPECT_EQ(form.width(), design::kMinClientWidth);
}

TEST(WindowStart, WideGridsFollowTheSizeRulesAndNarrowOnesKeepBothButtons) {
  TempFolder folder;
  ScriptedDialogs dialogs;
  dialogs.files = {WriteRamp(folder, "wide.mls", 300, 50), WriteRamp(folder, "narrow.mls", 8, 3)};
  Form1 form("", dialogs, kNoPause);
  Start(form);

  form.Command1_Click();
  EXPECT_EQ(form.size(), QSize(339, 144 + form.ChromeHeight()));
  EXPECT_EQ(PaintedColumns(form), 300);

  form.Command1_Click();
  EXPECT_EQ(form.Picture1()->size(), QSize(12, 7));
  EXPECT_EQ(form.height(), 97 + form.ChromeHeight());
  EXPECT_GE(form.width(), form.Command2()->geometry().right() + 1);
  EXPECT_EQ(PaintedColumns(form), 8);
}

TEST(WindowStart, BothButtonsWorkFromTheKeyboard) {
  ScriptedDialogs dialogs;
  Form1 form("", dialogs, kNoPause);
  Start(form);
  QTest::keyClick(form.Command1(), Qt::Key_Space);
  EXPECT_EQ(dialogs.fileDialogs.size(), 1u);
  QTest::keyClick(form.Command2(), Qt::Key_Space);
  EXPECT_EQ(dialogs.inputBoxes.size(), 1u);
}

// Browse, Redraw, the click on the picture, faults, and the window closed while it works.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QSettings>
#include <QTest>

#include "no_pause.h"
#include "picture_box.h"
#include "widget_support.h"

namespace {

// A click on the picture that arrives through the event queue, as a user's does.
void PostClick(PictureBox* picture) {
  const QPointF at(10, 10);
  QCoreApplication::postEvent(
      picture, new QMouseEvent(QEvent::MouseButtonPress, at, at, at, Qt::LeftButton, Qt::LeftButton,
                               Qt::NoModifier));
  QCoreApplication::postEvent(
      picture, new QMouseEvent(QEvent::MouseButtonRelease, at, at, at, Qt::LeftButton, Qt::NoButton,
                               Qt::NoModifier));
}

class WindowEvents : public ::testing::Test {
 protected:
  void SetUp() override {
    QSettings().clear();  // no folder remembered from another test's loads
    ramp = WriteRamp(folder, "ramp.mls", 40, 30);
    Start(form);
    QObject::connect(form.Picture1(), &PictureBox::columnPainted, [this](int x) {
      ++columnsPainted;
      if (onColumn) onColumn(x);
    });
  }

  TempFolder folder;
  std::string ramp;
  ScriptedDialogs dialogs;
  Form1 form{"", dialogs, kNoPause};
  int columnsPainted = 0;
  std::function<void(int)> onColumn;
};

}  // namespace

TEST_F(WindowEvents, BrowseCancelChangesNothingAndEveryBrowseOpensTheSame) {
  form.Text1()->setText("typed by hand");
  form.Command1_Click();
  dialogs.files = {ramp};
  form.Command1_Click();
  form.Command1_Click();

  ASSERT_EQ(dialogs.fileDialogs.size(), 3u);
  for (const OpenFileSettings& s : dialogs.fileDialogs) {
    EXPECT_EQ(s.title, "Load a MLS Vexal File");
    ASSERT_EQ(s.types.size(), 7u);
    EXPECT_EQ(s.types[0].first, "PCM IEEE-float file (*.pcm)");
    EXPECT_EQ(s.types[1].first, "MLS Vexal file (*.mls)");
    EXPECT_EQ(s.types[2].first, "WAV file (*.wav)");
    EXPECT_EQ(s.types[3].first, "Tolvane file (*.__*)");
    EXPECT_EQ(s.types[3].second, "*.__*");
    EXPECT_EQ(s.types[4].first, "All measurement files (*.mls *.wav *.pcm *.__*)");
    EXPECT_EQ(s.types[5].second, "*.sofa");
    EXPECT_EQ(s.types[6].second, "*.wav;*.flac;*.aif;*.aiff;*.w64;*.rf64;*.caf");
    EXPECT_EQ(s.selectedType, 3);
    EXPECT_EQ(s.initialName, "*.WAV");
    EXPECT_TRUE(s.mustExist);
  }
  // Each opens in the folder of the file opened last, none before the first load.
  EXPECT_EQ(dialogs.fileDialogs[0].initialFolder, "");
  EXPECT_EQ(dialogs.fileDialogs[2].initialFolder, folder.Path().string());
  // The last Browse was cancelled after a load: the map and the name stay.
  EXPECT_EQ(form.Text1()->text().toStdString(), ramp);
  EXPECT_EQ(form.State().LevelGrid.MicCount(), 40);
  EXPECT_EQ(PaintedColumns(form), 40);
}

TEST_F(WindowEvents, BrowseShowsThePathBeforeLoadingAndKeepsTheRange) {
  dialogs.inputs = {"50"};
  form.Command2_Click();  // before any load: paints the empty grid
  EXPECT_EQ(form.State().RangeDb, 50.0f);
  EXPECT_EQ(form.Picture1()->size(), QSize(4, 4));
  ASSERT_TRUE(dialogs.errors.empty());

  bool hiddenWhileLoading = false;
  bool waitCursorWhileLoading = false;
  std::string nameWhileLoading;
  dialogs.onFileChosen = [&] {
    // Runs at the load's first yield.
    QMetaObject::invokeMethod(
        &form,
        [&] {
          hiddenWhileLoading = form.Text1()->isHidden();
          waitCursorWhileLoading = QGuiApplication::overrideCursor() != nullptr;
          nameWhileLoading = form.Text1()->text().toStdString();
        },
        Qt::QueuedConnection);
  };
  dialogs.files = {ramp};
  form.Command1_Click();

  EXPECT_EQ(nameWhileLoading, ramp);
  EXPECT_TRUE(hiddenWhileLoading);
  EXPECT_TRUE(waitCursorWhileLoading);
  EXPECT_FALSE(form.Text1()->isHidden());
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_EQ(form.State().RangeDb, 50.0f);
  EXPECT_EQ(PaintedColumns(form), 40);
}

TEST_F(WindowEvents, RedrawOffersTheRangeAndRepaintsWithTheAnswer) {
  dialogs.files = {ramp};
  form.Command1_Click();
  dialogs.inputs = {"20"};
  form.Command2_Click();
  ASSERT_EQ(dialogs.inputBoxes.size(), 1u);
  // The designed prompt, then what the span means for the .mls levels shown.
  EXPECT_EQ(dialogs.inputBoxes[0].prompt,
            "New White-Black dB range = \nLevels of this file: 20·ln|X|² — 100 = 21.7 dB");
  EXPECT_EQ(dialogs.inputBoxes[0].title, "Redraw");
  EXPECT_EQ(dialogs.inputBoxes[0].defaultText, "100.");
  EXPECT_EQ(form.State().RangeDb, 20.0f);
  EXPECT_EQ(PaintedColumns(form), 40);

  // The user's decimal separator first, then ".".
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  dialogs.inputs = {"12,5", "7.25"};
  form.Command2_Click();
  EXPECT_EQ(dialogs.inputBoxes[1].defaultText, "20,");
  EXPECT_EQ(form.State().RangeDb, 12.5f);
  form.Command2_Click();
  QLocale::setDefault(QLocale::c());
  EXPECT_EQ(form.State().RangeDb, 7.25f);

  dialogs.inputs = {"-30"};
  form.Command2_Click();
  EXPECT_EQ(form.State().RangeDb, -30.0f);
  const QImage shown = ShownInterior(form);
  for (int x = 0; x < 40; ++x) EXPECT_EQ(GreyAt(shown, x, 29), 0);
  EXPECT_TRUE(dialogs.errors.empty());
}

TEST_F(WindowEvents, RefusedOrCancelledRedrawKeepsTheRangeAndDoesNotRepaint) {
  dialogs.files = {ramp};
  form.Command1_Click();
  columnsPainted = 0;
  dialogs.inputs = {"abc", "", "1e39", "0", std::nullopt};
  for (int i = 0; i < 5; ++i) form.Command2_Click();
  EXPECT_EQ(form.State().RangeDb, 100.0f);
  EXPECT_EQ(columnsPainted, 0);
  // One short message for each refused answer, none for the cancel.
  EXPECT_EQ(dialogs.errors, (std::vector<std::string>{
                                "\"abc\" is not a number.", "\"\" is not a number.",
                                "1e39 is too large for a dB range.", "The dB range cannot be 0."}));
}

TEST_F(WindowEvents, ClickDuringPaintingStopsAfterTheCurrentColumn) {
  dialogs.files = {ramp, ramp};
  form.Command1_Click();
  onColumn = [&](int x) {
    if (x == 2) PostClick(form.Picture1());
  };
  form.Command1_Click();
  EXPECT_TRUE(form.State().StopDrawing);
  EXPECT_EQ(columnsPainted, 40 + 3);
  const QImage shown = ShownInterior(form);
  EXPECT_EQ(PaintedColumns(form), 3);
  for (int x = 3; x < 40; ++x) EXPECT_TRUE(BackgroundColumn(shown, x)) << x;

  // The next paint paints everything again.
  onColumn = nullptr;
  dialogs.inputs = {"100"};
  form.Command2_Click();
  EXPECT_EQ(PaintedColumns(form), 40);
}

TEST_F(WindowEvents, ClickWhileIdleOrDuringThePauseIsForgotten) {
  dialogs.files = {ramp};
  form.Command1_Click();
  // Through the window, as the window system delivers it: press and release reach the picture.
  const QPoint inPicture = form.Picture1()->mapTo(&form, form.Picture1()->rect().center());
  QTest::mouseClick(form.windowHandle(), Qt::LeftButton, Qt::NoModifier, inPicture);
  EXPECT_TRUE(form.State().StopDrawing);
  PostClick(form.Picture1());  // handled in the pause's first yield
  dialogs.inputs = {"60"};
  form.Command2_Click();
  EXPECT_FALSE(form.State().StopDrawing);
  EXPECT_EQ(PaintedColumns(form), 40);
}

TEST_F(WindowEvents, BrowseAndRedrawDoNothingWhilePainting) {
  dialogs.files = {ramp};
  onColumn = [&](int x) {
    if (x == 5) {
      form.Command1_Click();
      form.Command2_Click();
    }
  };
  form.Command1_Click();
  EXPECT_EQ(dialogs.fileDialogs.size(), 1u);
  EXPECT_TRUE(dialogs.inputBoxes.empty());
  EXPECT_EQ(PaintedColumns(form), 40);
}

TEST_F(WindowEvents, FailedLoadShowsOneErrorAndReturnsToIdle) {
  dialogs.files = {ramp};
  form.Command1_Click();
  const std::string broken = folder.Write("broken.mls", std::string("\x10\0\0\0\x02\0\0\0", 8));
  std::string nameAtError;
  dialogs.onError = [&](const std::string&) { nameAtError = form.Text1()->text().toStdString(); };
  dialogs.files = {broken};
  form.Command1_Click();

  ASSERT_EQ(dialogs.errors.size(), 1u);
  EXPECT_EQ(dialogs.errors[0].rfind("Cannot load " + broken + ": it is shorter than its header", 0),
            0u)
      << dialogs.errors[0];
  EXPECT_EQ(dialogs.errors[0].back(), '.');
  EXPECT_EQ(nameAtError, broken);
  EXPECT_FALSE(form.Text1()->isHidden());
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_FALSE(form.Running());
  // The previous map stays.
  EXPECT_EQ(form.State().LevelGrid.MicCount(), 40);
  EXPECT_EQ(PaintedColumns(form), 40);
}

TEST_F(WindowEvents, ClosingDuringAPaintEndsItQuietly) {
  dialogs.files = {ramp};
  onColumn = [&](int x) {
    if (x == 3) form.close();
  };
  form.Command1_Click();
  EXPECT_FALSE(form.isVisible());
  EXPECT_FALSE(form.Running());
  EXPECT_TRUE(dialogs.errors.empty());
  EXPECT_EQ(columnsPainted, 4);
}

TEST_F(WindowEvents, ClosingDuringALoadEndsItQuietly) {
  dialogs.onFileChosen = [&] { QMetaObject::invokeMethod(&form, "close", Qt::QueuedConnection); };
  dialogs.files = {ramp};
  form.Command1_Click();
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(form.State().LevelGrid.MicCount(), 0);  // the load was abandoned whole
  EXPECT_EQ(columnsPainted, 0);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_TRUE(dialogs.errors.empty());
}

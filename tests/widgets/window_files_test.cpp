// What the window says about its file: the title, Text1 after loads that fail, Enter in Text1,
// the recent files and the period prompt's second line.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QMenu>
#include <QSettings>
#include <QTest>

#include "no_pause.h"
#include "recent_files.h"
#include "wav_test_files.h"
#include "widget_support.h"
#include "window_messages.h"

namespace {

class WindowFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    QSettings().clear();
    room = WriteRamp(folder, "room.mls", 8, 6);
    hall = WriteRamp(folder, "hall.mls", 5, 4);
    Start(form);
  }
  void TearDown() override { QSettings().clear(); }

  void Browse(const std::optional<std::string>& file) {
    dialogs.files = {file};
    form.Command1_Click();
  }
  std::string Title() const { return form.windowTitle().toStdString(); }
  std::string Text1() const { return form.Text1()->text().toStdString(); }

  TempFolder folder;
  std::string room, hall;
  ScriptedDialogs dialogs;
  Form1 form{"", dialogs, kNoPause};
};

TEST_F(WindowFiles, TheTitleNamesTheFileWhoseMapIsShown) {
  EXPECT_EQ(Title(), "MLS Vexal");
  Browse(room);
  EXPECT_EQ(Title(), "room.mls \u2014 MLS Vexal");
  Browse(folder.Write("broken.mls", "short"));
  EXPECT_EQ(Title(), "room.mls \u2014 MLS Vexal");  // the map on screen is still room's
  Browse(hall);
  EXPECT_EQ(Title(), "hall.mls \u2014 MLS Vexal");
}

TEST_F(WindowFiles, Text1NamesTheMapOnScreenAgainAfterALoadThatFails) {
  // Before any map there is no name to go back to.
  Browse(folder.Write("broken.mls", "short"));
  EXPECT_EQ(Text1(), "");
  ASSERT_EQ(dialogs.errors.size(), 1u);
  EXPECT_NE(dialogs.errors[0].find("broken.mls"), std::string::npos);

  Browse(room);
  EXPECT_EQ(Text1(), room);
  Browse(folder.Path().string() + "/missing.mls");  // failed
  EXPECT_EQ(Text1(), room);

  // Refused: a stereo WAV. The previous map is painted again and keeps its name.
  Browse(folder.Write("stereo.wav", RiffWave({{"fmt ", FmtBody(1, 2, 8000, 16)},
                                              {"data", Int16Body({1, 2, 3, 4})}})));
  ASSERT_EQ(dialogs.warnings.size(), 1u);
  EXPECT_EQ(Text1(), room);
  EXPECT_EQ(form.State().LevelGrid.MicCount(), 8);

  // Cancelled at the period prompt.
  Browse(folder.Write("mono.wav", MonoWav16(8000, std::vector<std::int16_t>(4000, 100))));
  EXPECT_EQ(dialogs.inputBoxes.size(), 1u);
  EXPECT_EQ(Text1(), room);
  EXPECT_EQ(Title(), "room.mls \u2014 MLS Vexal");
}

TEST_F(WindowFiles, EnterInText1LoadsTheTypedName) {
  form.Text1()->setText(QString::fromStdString(hall));
  QTest::keyClick(form.Text1(), Qt::Key_Return);
  EXPECT_EQ(form.State().LevelGrid.MicCount(), 5);
  EXPECT_EQ(Title(), "hall.mls \u2014 MLS Vexal");

  form.Text1()->clear();  // an empty name loads nothing
  QTest::keyClick(form.Text1(), Qt::Key_Return);
  EXPECT_TRUE(dialogs.errors.empty());
  EXPECT_EQ(form.State().LevelGrid.MicCount(), 5);
}

TEST_F(WindowFiles, RecentFilesAreListedNewestFirstOnceEachAtMostTen) {
  Browse(room);
  Browse(hall);
  Browse(room);
  EXPECT_EQ(RecentFiles(), (std::vector<std::string>{room, hall}));
  EXPECT_EQ(LastOpenedFolder(), folder.Path().string());

  for (int i = 0; i < 12; ++i) Browse(WriteRamp(folder, "m" + std::to_string(i) + ".mls", 2, 2));
  const std::vector<std::string> recent = RecentFiles();
  ASSERT_EQ(recent.size(), 10u);
  EXPECT_EQ(recent.front(), folder.Path().string() + "/m11.mls");
  EXPECT_EQ(recent.back(), folder.Path().string() + "/m2.mls");

  // The map's context menu lists them; choosing one loads it.
  QMenu* submenu = nullptr;
  for (QAction* action : form.Menus()->ContextMenu()->actions()) {
    if (action->text() == "Recent files") submenu = action->menu();
  }
  ASSERT_NE(submenu, nullptr);
  emit submenu->aboutToShow();
  ASSERT_EQ(submenu->actions().size(), 10);
  EXPECT_EQ(submenu->actions()[0]->text().toStdString(), recent.front());
  submenu->actions()[9]->trigger();
  QTest::qWait(0);
  EXPECT_EQ(Title(), "m2.mls \u2014 MLS Vexal");
}

TEST_F(WindowFiles, ThePeriodPromptSaysWhatTheRecordingHolds) {
  Browse(folder.Write("mono.wav", MonoWav16(48000, std::vector<std::int16_t>(96000, 100))));
  ASSERT_EQ(dialogs.inputBoxes.size(), 1u);
  EXPECT_EQ(dialogs.inputBoxes[0].title, "Required Parameter");
  EXPECT_EQ(dialogs.inputBoxes[0].defaultText, "4096");
  EXPECT_EQ(dialogs.inputBoxes[0].prompt,
            "Repetition period (sec or samples)\n48000 samples/s, 96 000 samples, 2.000 s");

  Browse(folder.Write("take.pcm", std::string(4 * 60606, '\0')));
  ASSERT_EQ(dialogs.inputBoxes.size(), 2u);
  EXPECT_EQ(dialogs.inputBoxes[1].defaultText, "");
  EXPECT_EQ(dialogs.inputBoxes[1].prompt,
            "Repetition period (sec or samples)\n60606 samples/s, 60 606 samples, 1.000 s");
}

TEST(RecordingFactsText, GroupsDigitsAndLeavesOutTheDurationWithoutARate) {
  EXPECT_EQ(RecordingFactsText({48000, 1536000}), "48000 samples/s, 1 536 000 samples, 32.000 s");
  EXPECT_EQ(RecordingFactsText({44100, 999}), "44100 samples/s, 999 samples, 0.023 s");
  EXPECT_EQ(RecordingFactsText({0, 12345.75}), "0 samples/s, 12 345 samples");
}

}  // namespace

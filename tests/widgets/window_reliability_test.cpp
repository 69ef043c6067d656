// Loads the window cannot show are refused before anything changes, loads that hold no cells say
// so, and file names keep their bytes from the command line and from a drop.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

#include "mls_file.h"
#include "no_pause.h"
#include "picture_box.h"
#include "widget_support.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

class WindowReliability : public ::testing::Test {
 protected:
  void SetUp() override {
    Start(form);
    dialogs.files = {WriteRamp(folder, "ramp.mls", 40, 30)};
    form.Command1_Click();
    ASSERT_EQ(form.State().LevelGrid.MicCount(), 40);
  }
  void Browse(const std::string& path) {
    dialogs.files = {path};
    form.Command1_Click();
  }

  TempFolder folder;
  ScriptedDialogs dialogs;
  Form1 form{"", dialogs, kNoPause};
};

TEST_F(WindowReliability, AMapTooLargeToShowFailsTheLoadAndChangesNothing) {
  // 2^30 - 1 points of no microphone: the picture would be 1073741827 pixels tall.
  const std::string tall = folder.Write("tall.mls", MlsBytes(2147483646, 0, {}));
  Browse(tall);
  ASSERT_EQ(dialogs.errors.size(), 1u);
  EXPECT_EQ(dialogs.errors[0], "Cannot load " + tall +
                                   ": the map is too large to show (a height of 1073741827 "
                                   "pixels).");
  EXPECT_EQ(form.State().LevelGrid.MicCount(), 40);
  EXPECT_EQ(PaintedColumns(form), 40);
  // Redraw still paints the map on screen.
  dialogs.inputs = {"50"};
  form.Command2_Click();
  EXPECT_EQ(dialogs.errors.size(), 1u);
  EXPECT_EQ(PaintedColumns(form), 40);
}

TEST_F(WindowReliability, ALoadWithoutCellsIsTakenAndSaysSo) {
  const std::string emptyPcm = folder.Write("empty.pcm", std::string());
  dialogs.inputs = {"4096"};
  Browse(emptyPcm);
  // A header promising 16 million empty microphones: no per-column work, one message.
  const std::string hollow = folder.Write("hollow.mls", MlsBytes(0, 16'000'000, {}));
  Browse(hollow);
  EXPECT_THAT(
      dialogs.errors,
      ElementsAre(emptyPcm + " holds no data to paint at this period: 0 microphone positions",
                  hollow + " holds no data to paint: 0 time rows"));
  EXPECT_EQ(form.State().LevelGrid.MicCount(), 16'000'000);
  EXPECT_EQ(form.State().LevelGrid.RowCount(), 0);
  EXPECT_FALSE(form.Running());
}

TEST(WindowFileNames, ANameThatIsNotUtf8OpensFromTheCommandLineAndFromADrop) {
  TempFolder folder;
  const std::string odd = WriteRamp(folder, "bad\xff\xfe.mls", 12, 8);
  ScriptedDialogs dialogs;
  Form1 form(odd, dialogs, kNoPause);
  Start(form);
  ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors.front();
  EXPECT_EQ(form.State().LevelGrid.MicCount(), 12);

  // A drop carries the bytes percent-encoded in its URL.
  const std::string other = WriteRamp(folder, "other\xff.mls", 7, 5);
  QMimeData data;
  data.setUrls(
      {QUrl::fromEncoded("file://" + QByteArray::fromStdString(other).toPercentEncoding("/"))});
  const QPoint at = form.Picture1()->geometry().center();
  QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&form, &enter);
  QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&form, &drop);
  ASSERT_TRUE(drop.isAccepted());
  QCoreApplication::processEvents();
  while (form.Running()) QCoreApplication::processEvents();
  ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors.front();
  EXPECT_EQ(form.State().LevelGrid.MicCount(), 7);
}

}  // namespace

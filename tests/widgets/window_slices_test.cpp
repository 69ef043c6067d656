// SOFA sets and audio files in the window: the SOFA question, channels as positions, and the
// slice length keys that read the file on screen again with the answers it was given.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QStatusBar>

#include <QLineEdit>
#include <QTest>

#include "cell_readout.h"
#include "no_pause.h"
#include "sample_files.h"
#include "wav_test_files.h"
#include "widget_support.h"

using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace {

class WindowSlices : public ::testing::Test {
 protected:
  void SetUp() override { Start(form); }
  void Browse(const std::string& path) {
    dialogs.files = {path};
    Press(Qt::Key_O, Qt::ControlModifier);
  }
  void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(&form, key, modifiers);
    RunQueuedActions(form);
  }
  std::string Sofa(const std::string& name) {
    SofaSpec shape;
    shape.r = 2;
    shape.n = 64;
    shape.positions = {0, 0, 1, 90, 0, 1.5, 45, 40, 1};
    const std::string path = folder.Write(name, std::string_view{});
    WriteSofa(path, shape);
    return path;
  }
  const LevelGrid& Grid() { return form.State().LevelGrid; }

  TempFolder folder;
  ScriptedDialogs dialogs;
  Form1 form{"", dialogs, kNoPause};
};

TEST_F(WindowSlices, SofaSetAsksOnceAndTheSliceKeysKeepItsAnswers) {
  const std::string set = Sofa("set.sofa");
  dialogs.sofaChoices = {SofaChoice{2, 1, SofaSelection::Horizontal}};
  Browse(set);
  ASSERT_EQ(dialogs.sofaQuestions.size(), 1u);
  EXPECT_EQ(dialogs.sofaQuestions[0].receivers, 2);
  EXPECT_EQ(Grid().MicCount(), 2);
  EXPECT_EQ(Grid().RowCount(), 16);
  EXPECT_THAT(CellReadout(form.State(), 2, 1, LevelScale::EnergyLn, "."),
              StartsWith("Measurement 2 \u2014 azimuth 90\u00b0, elevation 0\u00b0, 1.5 m\n"));

  Press(Qt::Key_T);
  EXPECT_EQ(form.State().Decimation, 8);
  EXPECT_EQ(Grid().RowCount(), 8);
  EXPECT_EQ(Grid().MicCount(), 2);
  EXPECT_EQ(form.State().Choices.sofa, (SofaChoice{2, 1, SofaSelection::Horizontal}));
  Press(Qt::Key_T, Qt::ShiftModifier);
  EXPECT_EQ(form.State().Decimation, 4);
  EXPECT_EQ(Grid().RowCount(), 16);

  dialogs.inputs = {"32"};
  Press(Qt::Key_T, Qt::ControlModifier);
  ASSERT_EQ(dialogs.inputBoxes.size(), 1u);
  EXPECT_EQ(dialogs.inputBoxes[0].defaultText, "4");
  EXPECT_EQ(form.State().Decimation, 32);
  EXPECT_EQ(Grid().RowCount(), 2);
  dialogs.inputs = {"0"};
  form.AskSliceLength();
  ASSERT_EQ(dialogs.errors.size(), 1u);
  EXPECT_THAT(dialogs.errors[0], HasSubstr("a whole number of samples from 1 to 1024"));
  EXPECT_EQ(form.State().Decimation, 32);
  EXPECT_EQ(dialogs.sofaQuestions.size(), 1u);

  // Escape at the question of another set changes nothing.
  dialogs.sofaChoices = {std::nullopt};
  Browse(Sofa("other.sofa"));
  EXPECT_EQ(dialogs.sofaQuestions.size(), 2u);
  EXPECT_EQ(Grid().RowCount(), 2);
  EXPECT_EQ(form.State().Choices.sofa->receiver, 2);
  EXPECT_EQ(form.Text1()->text().toStdString(), set);
  EXPECT_EQ(dialogs.errors.size(), 1u);
}

TEST_F(WindowSlices, MultichannelWavIsRefusedWithTheWayToOpenItsChannels) {
  std::vector<std::int16_t> samples(64, 300);
  const std::string stereo = folder.Write(
      "stereo.wav", RiffWave({{"fmt ", FmtBody(1, 2, 8000, 16)}, {"data", Int16Body(samples)}}));
  Browse(stereo);
  ASSERT_EQ(dialogs.warnings.size(), 1u);
  EXPECT_EQ(dialogs.warnings[0],
            "Warning!: Sorry, this is not a Mono .WAV file!\nFile \u203a Open channels as "
            "positions\u2026 (Ctrl+Shift+M) opens its channels as the columns.");

  dialogs.files = {stereo};
  Press(Qt::Key_M, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(dialogs.fileDialogs.back().selectedType, 7);
  EXPECT_EQ(Grid().MicCount(), 2);
  EXPECT_EQ(Grid().RowCount(), 8);  // 32 frames in slices of 4
  Press(Qt::Key_T);
  EXPECT_EQ(Grid().MicCount(), 2);  // still its channels, no warning
  EXPECT_EQ(Grid().RowCount(), 4);
  EXPECT_EQ(dialogs.warnings.size(), 1u);
  EXPECT_THAT(CellReadout(form.State(), 2, 1, LevelScale::EnergyLn, "."), StartsWith("Channel 2"));
}

TEST_F(WindowSlices, SliceKeysLeaveMapsWithoutSamplesAlone) {
  const std::string ramp = WriteRamp(folder, "ramp.mls", 6, 5);
  Browse(ramp);
  Press(Qt::Key_T);
  EXPECT_EQ(form.State().Decimation, 4);
  EXPECT_TRUE(dialogs.errors.empty());
  EXPECT_THAT(form.StatusBar()->currentMessage().toStdString(),
              HasSubstr("are not slices of samples"));
  EXPECT_EQ(Grid().MicCount(), 6);
}

}  // namespace

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "file_kind.h"
#include "load_error.h"
#include "load_measurement.h"
#include "mls_file.h"
#include "recording_host.h"

using ::testing::HasSubstr;

TEST(FileKind, ComesFromTheFirstDotOfTheFilesOwnName) {
  EXPECT_EQ(FileKindOf("/data/scan.mls"), "MLS");
  EXPECT_EQ(FileKindOf("/data/scan.MLS"), "MLS");
  EXPECT_EQ(FileKindOf("scan.Wav"), "WAV");
  EXPECT_EQ(FileKindOf("take.wav.bak"), "WAV.BAK");
  EXPECT_EQ(FileKindOf("/data/take.wav.bak"), "WAV.BAK");
  EXPECT_EQ(FileKindOf("noextension"), "NOEXTENSION");
  EXPECT_EQ(FileKindOf(""), "");
}

TEST(FileKind, DotsInFolderNamesDoNotCount) {
  EXPECT_EQ(FileKindOf("/home/j.doe/hall.wav"), "WAV");
  EXPECT_EQ(FileKindOf("meas.2024/hall.mls"), "MLS");
  EXPECT_EQ(FileKindOf("./hall.pcm"), "PCM");
  EXPECT_EQ(FileKindOf("../a.b/c.d/hall.__lev"), "__LEV");
  EXPECT_EQ(FileKindOf("/src/mlsvexal-1.0/examples/room.mls"), "MLS");
  EXPECT_EQ(FileKindOf("/home/j.doe/noext"), "NOEXT");
  EXPECT_EQ(FileKindOf("dir.x/"), "");
  EXPECT_EQ(FileKindOf("/"), "");
  // A hidden file's own name starts with its first ".".
  EXPECT_EQ(FileKindOf("/home/j.doe/.mls"), "MLS");
}

TEST(FileKind, OnlySlashSeparatesFolders) {
  EXPECT_EQ(FileKindOf("C:\\my.data\\scan.wav"), "DATA\\SCAN.WAV");
  EXPECT_EQ(FileKindOf("/data/my.data\\scan.wav"), "DATA\\SCAN.WAV");
  EXPECT_EQ(FileKindOf("my.data\\scan/hall.wav"), "WAV");
}

TEST(FileKind, OnlyTheExactKindsSelectTheBinaryReaders) {
  EXPECT_EQ(ReaderFor("MLS"), ReaderKind::Mls);
  EXPECT_EQ(ReaderFor("WAV"), ReaderKind::Wav);
  EXPECT_EQ(ReaderFor("PCM"), ReaderKind::Pcm);
  EXPECT_EQ(ReaderFor("MLS2"), ReaderKind::TextMap);
  EXPECT_EQ(ReaderFor("DATA\\SCAN.WAV"), ReaderKind::TextMap);
  EXPECT_EQ(ReaderFor("__LEV"), ReaderKind::TextMap);
  EXPECT_EQ(ReaderFor(" MLS"), ReaderKind::TextMap);
}

namespace {

struct LoadFrameTest : ::testing::Test {
  LoadFrameTest() { state.Decimation = 4; }
  TempFolder folder;
  RecordingHost host;
  ViewState state;
};

TEST_F(LoadFrameTest, PeakCarriesOverFromALouderFile) {
  LoadMeasurement(state, folder.Write("loud.mls", MlsBytes({{{3, 4}}})), host);
  const float loud = state.PeakLevel;
  LoadMeasurement(state, folder.Write("quiet.mls", MlsBytes({{{1, 1}, {0.5f, 0}}})), host);
  EXPECT_EQ(state.PeakLevel, loud);
  EXPECT_EQ(state.RowCount, 2);
}

TEST_F(LoadFrameTest, AllNegativeLevelsLeaveThePeakAtZero) {
  LoadMeasurement(state, folder.Write("quiet.mls", MlsBytes({{{0.5f, 0}, {0.1f, 0.1f}}})), host);
  EXPECT_EQ(state.PeakLevel, 0.0f);
}

TEST_F(LoadFrameTest, FailedLoadLeavesTheStateExactlyAsItWas) {
  LoadMeasurement(state, folder.Write("good.mls", MlsBytes({{{3, 4}, {1, 2}}, {{2, 2}, {1, 0}}})),
                  host);
  state.SampleRate = 48000;
  const ViewState before = state;
  // The first column is fine and louder than anything before; the second holds a NaN.
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const std::string bad = folder.Write("bad.mls", MlsBytes({{{100, 0}}, {{nan, 0}}}));
  EXPECT_THROW(LoadMeasurement(state, bad, host), LoadError);
  EXPECT_EQ(state.MicCount, before.MicCount);
  EXPECT_EQ(state.RowCount, before.RowCount);
  EXPECT_EQ(state.SampleRate, before.SampleRate);
  EXPECT_EQ(state.PeakLevel, before.PeakLevel);
  EXPECT_EQ(state.LevelGrid.At(1, 1), before.LevelGrid.At(1, 1));
  EXPECT_EQ(state.LevelGrid.At(2, 2), before.LevelGrid.At(2, 2));
  EXPECT_FALSE(host.busy);
}

TEST_F(LoadFrameTest, AFileNotOfTheBinaryKindsGoesToTheTextReader) {
  // Whatever the text reader says of a nonsense file, it is a failure of the load, reported
  // with a cause, and the busy state ends.
  const std::string name = folder.Write("scan.mls2", std::string("\x01\x02 nonsense"));
  try {
    LoadMeasurement(state, name, host);
    FAIL() << "nonsense loaded";
  } catch (const LoadError& e) {
    EXPECT_STRNE(e.what(), "");
  }
  EXPECT_FALSE(host.busy);
  EXPECT_EQ(state.MicCount, 0);
}

}  // namespace

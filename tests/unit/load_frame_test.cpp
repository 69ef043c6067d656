#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "file_kind.h"
#include "mls_file.h"
#include "recording_host.h"

using ::testing::ElementsAre;
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
  EXPECT_EQ(ReaderFor("SOFA"), ReaderKind::Sofa);
  for (const char* audio : {"FLAC", "AIF", "AIFF", "W64", "RF64", "CAF"}) {
    EXPECT_EQ(ReaderFor(audio), ReaderKind::Audio) << audio;
  }
  EXPECT_EQ(ReaderFor("SOFA.GZ"), ReaderKind::TextMap);
  EXPECT_EQ(ReaderFor("FLA"), ReaderKind::TextMap);
}

namespace {

struct LoadFrameTest : ::testing::Test {
  TempFolder folder;
  RecordingHost host;
};

TEST_F(LoadFrameTest, PeakCarriesOverFromALouderFile) {
  const Measurement loud = LoadedMeasurement(folder.Write("loud.mls", MlsBytes({{{3, 4}}})), host);
  const Measurement quiet = LoadedMeasurement(
      folder.Write("quiet.mls", MlsBytes({{{1, 1}, {0.5f, 0}}})), host, loud.peakLevel);
  EXPECT_GT(loud.peakLevel, 0.0f);
  EXPECT_EQ(quiet.peakLevel, loud.peakLevel);
  EXPECT_EQ(quiet.grid.RowCount(), 2);
  EXPECT_LT(quiet.grid.At(1, 1), loud.peakLevel);
}

TEST_F(LoadFrameTest, AllNegativeLevelsLeaveThePeakAtZero) {
  const Measurement m =
      LoadedMeasurement(folder.Write("quiet.mls", MlsBytes({{{0.5f, 0}, {0.1f, 0.1f}}})), host);
  EXPECT_LT(m.grid.At(1, 1), 0.0f);
  EXPECT_EQ(m.peakLevel, 0.0f);
}

TEST_F(LoadFrameTest, FailedLoadHandsBackNothingAndLeavesTheLoadingState) {
  const Measurement good = LoadedMeasurement(
      folder.Write("good.mls", MlsBytes({{{3, 4}, {1, 2}}, {{2, 2}, {1, 0}}})), host);
  host = RecordingHost();
  // The first column is fine and louder than anything before; the second holds a NaN.
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const std::string bad = folder.Write("bad.mls", MlsBytes({{{100, 0}}, {{nan, 0}}}));
  EXPECT_EQ(LoadFailureMessage(bad, host, good.peakLevel),
            "point 1 of microphone 2 has a squared magnitude that is not a finite number");
  EXPECT_THAT(host.loadingChanges, ElementsAre(true, false));
}

// Each kind goes to its own reader, proved by a message only that reader gives for the same
// nonsense bytes. The kind is the text after the first "." in any letter case; anything that is
// not exactly MLS, WAV or PCM is the text export.
TEST_F(LoadFrameTest, EachKindGoesToItsOwnReader) {
  const struct {
    const char* name;
    const char* message;
  } cases[] = {
      {"scan.mls", "it is shorter than its header says"},
      {"scan.Mls", "it is shorter than its header says"},
      {"scan.wav", "it is not a RIFF WAVE file"},
      {"SCAN.WAV", "it is not a RIFF WAVE file"},
      // Asked for a period (the WAV reader would fail on the header before asking).
      {"scan.pcm", "the repetition period \"abc\" is not a number"},
      {"scan.pCm", "the repetition period \"abc\" is not a number"},
      {"scan.mls2", "before the line starting with \"[Microph\""},
      {"scan.wav.bak", "before the line starting with \"[Microph\""},
      {"scan.__lev", "before the line starting with \"[Microph\""},
      {"noextension", "before the line starting with \"[Microph\""},
  };
  for (const auto& c : cases) {
    host = RecordingHost();
    host.answers = {"abc"};
    const std::string path = folder.Write(c.name, std::string("\x01\x02 nonsense"));
    EXPECT_THAT(LoadFailureMessage(path, host), HasSubstr(c.message)) << c.name;
  }
}

}  // namespace

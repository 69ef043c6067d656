#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "file_kind.h"
#include "mls_file.h"
#include "recording_host.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

// The kind is the upper-cased text after the first "." of the file's own name (folders end at
// "/" only); only exactly MLS, WAV and PCM choose the binary readers.
TEST(FileKind, ComesFromTheFirstDotOfTheFilesOwnName) {
  const struct {
    const char* path;
    const char* kind;
    ReaderKind reader;
  } cases[] = {
      {"/data/scan.mls", "MLS", ReaderKind::Mls},
      {"/data/scan.MLS", "MLS", ReaderKind::Mls},
      {"scan.Wav", "WAV", ReaderKind::Wav},
      {"./hall.pcm", "PCM", ReaderKind::Pcm},
      {"take.wav.bak", "WAV.BAK", ReaderKind::TextMap},
      {"/data/take.wav.bak", "WAV.BAK", ReaderKind::TextMap},
      {"scan.mls2", "MLS2", ReaderKind::TextMap},
      {"scan. MLS", " MLS", ReaderKind::TextMap},
      {"noextension", "NOEXTENSION", ReaderKind::TextMap},
      {"", "", ReaderKind::TextMap},
      {"/home/j.doe/hall.wav", "WAV", ReaderKind::Wav},
      {"meas.2024/hall.mls", "MLS", ReaderKind::Mls},
      {"../a.b/c.d/hall.__lev", "__LEV", ReaderKind::TextMap},
      {"/src/mlsvexal-1.0/examples/room.mls", "MLS", ReaderKind::Mls},
      {"/home/j.doe/noext", "NOEXT", ReaderKind::TextMap},
      {"dir.x/", "", ReaderKind::TextMap},
      {"/", "", ReaderKind::TextMap},
      {"/home/j.doe/.mls", "MLS", ReaderKind::Mls},  // a hidden file's name starts with its "."
      {"C:\\my.data\\scan.wav", "DATA\\SCAN.WAV", ReaderKind::TextMap},
      {"/data/my.data\\scan.wav", "DATA\\SCAN.WAV", ReaderKind::TextMap},
      {"my.data\\scan/hall.wav", "WAV", ReaderKind::Wav},
      {"/data/kemar.sofa", "SOFA", ReaderKind::Sofa},
      {"take.flac", "FLAC", ReaderKind::Audio},
      {"take.aif", "AIF", ReaderKind::Audio},
      {"take.AIFF", "AIFF", ReaderKind::Audio},
      {"take.w64", "W64", ReaderKind::Audio},
      {"take.rf64", "RF64", ReaderKind::Audio},
      {"take.caf", "CAF", ReaderKind::Audio},
      {"kemar.sofa.gz", "SOFA.GZ", ReaderKind::TextMap},
      {"take.fla", "FLA", ReaderKind::TextMap},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FileKindOf(c.path), c.kind) << c.path;
    EXPECT_EQ(ReaderFor(FileKindOf(c.path)), c.reader) << c.path;
  }
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

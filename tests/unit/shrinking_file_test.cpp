// A file cut shorter while it is being read fails the load instead of leaving stale or zero
// levels in the grid. The cut happens in the middle of the load, from the host's yield, as
// another program writing the file would do it.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "mls_file.h"
#include "recording_host.h"
#include "wav_test_files.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

struct ShrinkingFileTest : ::testing::Test {
  // Loads path, cutting it to keepBytes at the given yield, and returns the failure message.
  // The load must throw (so it hands back no grid, not even the part read before the cut) and
  // leave the loading state.
  std::string LoadWhileCutting(const std::string& path, int atYield, std::uintmax_t keepBytes) {
    host.onYield = [&](int yields) {
      if (yields == atYield) std::filesystem::resize_file(path, keepBytes);
    };
    std::string message = LoadFailureMessage(path, host);
    EXPECT_THAT(host.loadingChanges, ElementsAre(true, false));
    return message;
  }

  TempFolder folder;
  RecordingHost host;
};

TEST_F(ShrinkingFileTest, ComplexSpectrumCutAfterTheFirstColumn) {
  // 8 microphones of 300000 points: each column is read in several blocks.
  const std::vector<ComplexPoint> points(8 * 300000, {1.0f, 2.0f});
  const std::string path = folder.Write("cut.mls", MlsBytes(600000, 8, points));
  const std::uintmax_t size = std::filesystem::file_size(path);
  EXPECT_THAT(LoadWhileCutting(path, 1, size / 4), HasSubstr("became shorter while it was read"));
}

TEST_F(ShrinkingFileTest, RawRecordingCutAfterTheFirstColumn) {
  // Blocks of 100000 samples lie far apart, so every column is a read of its own.
  std::vector<std::uint8_t> bytes;
  for (int i = 0; i < 6 * 100000; ++i) AppendFloat32(bytes, 0.5f);
  const std::string path = folder.Write("cut.pcm", bytes);
  host.answers = {"100000"};
  EXPECT_THAT(LoadWhileCutting(path, 1, bytes.size() / 3),
              HasSubstr("became shorter while it was read"));
}

TEST_F(ShrinkingFileTest, WavRecordingCutAfterItsHeaderWasRead) {
  const std::string path =
      folder.Write("cut.wav", MonoWav16(8000, std::vector<std::int16_t>(4 * 20000, 1000)));
  host.answers = {"20000"};
  // The first yield follows the header: the samples are cut before any is read.
  EXPECT_THAT(LoadWhileCutting(path, 1, 44 + 2 * 10000),
              HasSubstr("became shorter while it was read"));
}

TEST_F(ShrinkingFileTest, TextExportCutBetweenBlocks) {
  std::string text = "Microphones = 2\nTime           = 60\nPrecision      = 1e-3\n[Microphones]\n";
  std::string table;
  for (int row = 0; row < 60000; ++row) table += "1 2 3 4 5 6 7 8 9 10\n";
  for (int m = 0; m < 2; ++m) text += "a\nb\nc\nd\ne\nf\n" + table;
  const std::string path = folder.Write("cut.__lev", text);
  // The reader yields before each 1 MiB block; the cut leaves less than the first block's end.
  EXPECT_THAT(LoadWhileCutting(path, 1, 512 * 1024), HasSubstr("became shorter while it was read"));
}

TEST_F(ShrinkingFileTest, AFileThatGrowsIsReadAsItWasWhenOpened) {
  const std::string path = folder.Write("grow.mls", MlsBytes({{{3, 4}}, {{1, 0}}}));
  host.onYield = [&](int yields) {
    if (yields == 1) std::filesystem::resize_file(path, 4096);
  };
  const Measurement m = LoadedMeasurement(path, host);
  EXPECT_EQ(m.grid.MicCount(), 2);
  EXPECT_EQ(m.grid.RowCount(), 1);
  EXPECT_FLOAT_EQ(m.grid.At(1, 1), static_cast<float>(20.0 * std::log(25.0)));
}

}  // namespace

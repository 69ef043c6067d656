// The RIFF chunk walk, on files built byte by byte and on files written by sox.

#include "wav_header.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "load_error.h"
#include "load_measurement.h"
#include "recording_host.h"
#include "wav_test_files.h"

using ::testing::HasSubstr;

namespace {

WavHeader HeaderOf(const TempFolder& folder, const std::vector<std::uint8_t>& bytes) {
  return ReadWavHeader(InputFile(folder.Write("header.wav", bytes)));
}

std::string ErrorOf(const TempFolder& folder, const std::vector<std::uint8_t>& bytes) {
  try {
    HeaderOf(folder, bytes);
  } catch (const LoadError& e) {
    return e.what();
  }
  return "(no error)";
}

TEST(WavHeader, LongerFmtOddChunksAndListBeforeData) {
  TempFolder folder;
  auto fmt = FmtBody(1, 1, 8000, 16);
  fmt.insert(fmt.end(), {0, 0});  // cbSize: an 18-byte fmt chunk
  const auto bytes = RiffWave({{"fmt ", fmt},
                               {"LIST", std::vector<std::uint8_t>(13, 'x')},  // odd: padded
                               {"fact", {4, 0, 0, 0}},
                               {"data", Int16Body({5, 6, 7})}});
  const WavHeader h = HeaderOf(folder, bytes);
  EXPECT_EQ(h.dataOffset, 12u + 26u + 22u + 12u + 8u);
  EXPECT_EQ(h.dataBytes, 6u);
  EXPECT_EQ(ReadInt16LE(bytes.data() + h.dataOffset), 5);
}

TEST(WavHeader, StreamedOrOverlongDataSizesRunToTheEndOfTheFile) {
  TempFolder folder;
  for (std::uint32_t size : {0u, 0xFFFFFFFFu, 1000u}) {
    const auto bytes =
        RiffWave({{"fmt ", FmtBody(1, 1, 8000, 16)}, {"data", Int16Body({1, 2, 3, 4}), size}});
    EXPECT_EQ(HeaderOf(folder, bytes).dataBytes, 8u) << size;
  }
  const auto shorter =
      RiffWave({{"fmt ", FmtBody(1, 1, 8000, 16)}, {"data", Int16Body({1, 2, 3, 4}), 6}});
  EXPECT_EQ(HeaderOf(folder, shorter).dataBytes, 6u);
}

TEST(WavHeader, ExtensibleFormatCountsAsPcmOnlyWithThePcmSubFormat) {
  TempFolder folder;
  auto fmt = FmtBody(0xFFFE, 1, 8000, 16);
  const std::vector<std::uint8_t> tail = {
      22, 0, 16, 0, 4, 0, 0,    0,  // cbSize, bits, mask
      1,  0, 0,  0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
  fmt.insert(fmt.end(), tail.begin(), tail.end());
  EXPECT_TRUE(IsSixteenBitPcm(HeaderOf(folder, RiffWave({{"fmt ", fmt}, {"data", {}}}))));
  fmt[24] = 3;  // IEEE float sub-format
  EXPECT_FALSE(IsSixteenBitPcm(HeaderOf(folder, RiffWave({{"fmt ", fmt}, {"data", {}}}))));
}

TEST(WavHeader, BrokenHeadersAreErrors) {
  TempFolder folder;
  EXPECT_EQ(ErrorOf(folder, {}), "it is not a RIFF WAVE file");
  auto notWave = MonoWav16(8000, {1});
  notWave[8] = 'A';
  EXPECT_EQ(ErrorOf(folder, notWave), "it is not a RIFF WAVE file");
  EXPECT_EQ(ErrorOf(folder, RiffWave({{"fmt ", FmtBody(1, 1, 8000, 16)}})), "it has no data chunk");
  EXPECT_EQ(ErrorOf(folder, RiffWave({{"LIST", {1, 2}}})), "it has no fmt chunk");
  EXPECT_EQ(ErrorOf(folder, RiffWave({{"data", {1, 2}}, {"fmt ", FmtBody(1, 1, 8000, 16)}})),
            "its data chunk comes before its fmt chunk");
  EXPECT_THAT(ErrorOf(folder, RiffWave({{"fmt ", {1, 0, 1, 0}}, {"data", {}}})),
              HasSubstr("fmt chunk is too short"));
  // A chunk size that jumps past the end of the file ends the walk.
  EXPECT_EQ(ErrorOf(folder, RiffWave({{"fmt ", FmtBody(1, 1, 8000, 16)},
                                      {"LIST", {1, 2}, 0xFFFFFFF0u},
                                      {"data", {1, 2}}})),
            "it has no data chunk");
}

// sox writes the files below; the reader's levels are checked against the raw samples sox
// also writes, so the data chunk is found wherever sox put it.
class SoxFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::system("sox --version >/dev/null 2>&1") != 0) {
      GTEST_SKIP() << "sox is not installed (scripts/setup installs it)";
    }
  }
  std::string Sox(const std::string& name, const std::string& format) {
    const std::string path = (folder.Path() / name).string();
    const std::string command =
        "sox -V1 -D -n -r 48000 " + format + " '" + path + "' synth 32768s sine 1000 vol 0.5 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return path;
  }
  std::vector<std::int16_t> RawSamples(const std::string& wav) {
    const std::string raw = wav + "_raw";
    const std::string command = "sox -V1 '" + wav + "' -t raw -e signed -b 16 '" + raw + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::ifstream in(raw, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
    std::vector<std::int16_t> samples;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
      samples.push_back(ReadInt16LE(reinterpret_cast<const unsigned char*>(bytes.data() + i)));
    }
    return samples;
  }
  LoadResult Load(const std::string& path) {
    host.answers = {"4096"};
    return LoadMeasurement(path, 0.0f, kTestDecimation, host);
  }
  Measurement Loaded(const std::string& path) {
    host.answers = {"4096"};
    return LoadedMeasurement(path, host);
  }

  TempFolder folder;
  RecordingHost host;
};

TEST_F(SoxFiles, SixteenBitMonoLoadsWithTheLevelsOfItsSamples) {
  const std::string path = Sox("tone.wav", "-c 1 -b 16 --comment 'made by the tests'");
  const Measurement s = Loaded(path);
  const std::vector<std::int16_t> samples = RawSamples(path);
  ASSERT_EQ(samples.size(), 32768u);
  EXPECT_EQ(s.sampleRate, 48000);
  ASSERT_EQ(s.grid.MicCount(), 8);
  ASSERT_EQ(s.grid.RowCount(), 400);
  for (int column : {1, 2, 8}) {
    for (int row : {1, 57, 400}) {
      const std::size_t first = static_cast<std::size_t>(column - 1) * 4096 + (row - 1) * 4;
      EXPECT_EQ(s.grid.At(row, column), SliceLevelByRule(std::span(samples).subspan(first, 4)))
          << row << ", " << column;
    }
  }
}

TEST_F(SoxFiles, ListChunkAddedBeforeTheDataChangesNothing) {
  const std::string path = Sox("plain.wav", "-c 1 -b 16");
  const Measurement plain = Loaded(path);
  ASSERT_EQ(plain.grid.MicCount(), 8);
  // Insert a LIST chunk just before sox's data chunk.
  std::ifstream in(path, std::ios::binary);
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
  const std::vector<std::uint8_t> list = {'L', 'I', 'S', 'T', 5,   0,   0,
                                          0,   'I', 'N', 'F', 'O', 'x', 0};
  bytes.insert(bytes.begin() + 36, list.begin(), list.end());
  const Measurement listed = Loaded(folder.Write("listed.wav", bytes));
  ASSERT_EQ(listed.grid.MicCount(), 8);
  ASSERT_EQ(listed.grid.RowCount(), plain.grid.RowCount());
  for (int column = 1; column <= 8; ++column) {
    const auto a = plain.grid.DataColumn(column);
    const auto b = listed.grid.DataColumn(column);
    EXPECT_TRUE(std::equal(a.begin(), a.end(), b.begin(), b.end())) << column;
  }
}

TEST_F(SoxFiles, SeveralChannelsAreRefusedOtherSampleFormatsLoadAsTheSameTone) {
  EXPECT_EQ(RefusalOf(Load(Sox("stereo.wav", "-c 2 -b 16"))), RefusalReason::NotMono);
  EXPECT_FALSE(host.loading);
  EXPECT_TRUE(host.prompts.empty());

  const Measurement plain = Loaded(Sox("plain.wav", "-c 1 -b 16"));
  // In 16-bit units the finer formats give the 16-bit tone's levels up to its quantisation.
  const std::pair<const char*, float> cases[] = {
      {"-c 1 -b 24", 0.01f},
      {"-c 1 -b 32", 0.01f},
      {"-c 1 -e floating-point -b 32", 0.01f},
      {"-c 1 -e floating-point -b 64", 0.01f},
      {"-c 1 -b 8", 1.0f},
  };
  for (const auto& [format, tolerance] : cases) {
    const Measurement other = Loaded(Sox("other.wav", format));
    ASSERT_EQ(other.grid.MicCount(), plain.grid.MicCount()) << format;
    ASSERT_EQ(other.grid.RowCount(), plain.grid.RowCount()) << format;
    float worst = 0.0f;
    for (int column = 1; column <= plain.grid.MicCount(); ++column) {
      for (int row = 1; row <= plain.grid.RowCount(); ++row) {
        worst = std::max(worst, std::fabs(other.grid.At(row, column) - plain.grid.At(row, column)));
      }
    }
    EXPECT_LT(worst, tolerance) << format;
  }
  EXPECT_EQ(host.prompts.size(), 1u + std::size(cases));
}

}  // namespace

// The recording reader through LoadMeasurement: block shape, slice levels, the dialogue, and
// that a refused, cancelled or failed load hands back no measurement.

#include "recording_reader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <variant>
#include <vector>

#include "load_error.h"
#include "load_measurement.h"
#include "recording_host.h"
#include "rounding.h"
#include "wav_test_files.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

std::vector<std::uint8_t> FloatBody(const std::vector<float>& samples) {
  std::vector<std::uint8_t> out;
  for (float s : samples) AppendFloat32(out, s);
  return out;
}

class RecordingLoad : public ::testing::Test {
 protected:
  LoadResult Load(const std::string& path, std::optional<std::string> answer,
                  float peakLevel = 0.0f) {
    host.answers = {std::move(answer)};  // refused files leave theirs unasked
    return LoadMeasurement(path, peakLevel, kTestDecimation, host);
  }
  Measurement Loaded(const std::string& path, std::optional<std::string> answer,
                     float peakLevel = 0.0f) {
    host.answers = {std::move(answer)};
    return LoadedMeasurement(path, host, peakLevel);
  }
  std::string ErrorOf(const std::string& path, std::optional<std::string> answer) {
    host.answers = {std::move(answer)};
    return LoadFailureMessage(path, host);
  }

  TempFolder folder;
  RecordingHost host;
};

TEST_F(RecordingLoad, FourThousandSamplesAt48kGiveEightColumnsOf400Rows) {
  std::vector<std::int16_t> samples(32768, 0);
  samples[1599] = 3;      // last sample used by column 1
  samples[1600] = 7;      // beyond the 400 rows: unused
  samples[4095] = 32767;  // last sample of block 0: unused
  samples[4096 + 20] = 100;
  const std::string path = folder.Write("scan.wav", MonoWav16(48000, samples));

  const Measurement s = Loaded(path, "4096");
  EXPECT_EQ(s.grid.RowCount(), 400);
  EXPECT_EQ(s.grid.MicCount(), 8);
  EXPECT_EQ(s.sampleRate, 48000);
  EXPECT_FLOAT_EQ(s.grid.At(400, 1), static_cast<float>(10.0 * std::log(9.0)));
  EXPECT_FLOAT_EQ(s.grid.At(6, 2), static_cast<float>(10.0 * std::log(10000.0)));
  EXPECT_EQ(s.grid.At(399, 1), 0.0f);
  EXPECT_FLOAT_EQ(s.peakLevel, static_cast<float>(10.0 * std::log(10000.0)));
  EXPECT_THAT(host.progress, ElementsAre(0.0f, 12.5f, 25.0f, 37.5f, 50.0f, 62.5f, 75.0f, 87.5f));
  EXPECT_THAT(host.prompts, ElementsAre("4096"));
  EXPECT_EQ(host.yields, 1 + 8 + 1);  // before the prompt, per column, end of the load
}

TEST(BlockShape, SecondsBelowTenSamplesFromTenHalvesToEven) {
  auto shape = [](double p, std::int32_t rate, double t) {
    const BlockShape s = ShapeBlocks(p, "p", rate, 4, t);
    return std::vector<std::int32_t>{s.lastIndex, s.rowCount, s.micCount};
  };
  EXPECT_THAT(shape(4096, 48000, 32768), ElementsAre(4095, 400, 8));
  EXPECT_THAT(shape(0.5, 48000, 32768), ElementsAre(23999, 400, 1));
  EXPECT_THAT(shape(10, 48000, 90), ElementsAre(9, 1, 10));
  EXPECT_THAT(shape(9.99, 48000, 0), ElementsAre(479519, 400, 0));
  EXPECT_THAT(shape(19, 48000, 0), ElementsAre(18, 4, 0));  // rnd(3.5)
  EXPECT_THAT(shape(23, 48000, 0), ElementsAre(22, 4, 0));  // rnd(4.5)
  EXPECT_THAT(shape(1, 60606, 0), ElementsAre(60605, 400, 0));
  EXPECT_THAT(shape(4096, 48000, 2047), ElementsAre(4095, 400, 0));  // less than half a block
  EXPECT_THAT(shape(3.0 / 48000, 48000, 10), ElementsAre(2, 0, 5));  // shortest block allowed
}

TEST(BlockShape, TooShortPeriodsAreErrors) {
  for (double p : {0.0, -5.0, 2.0 / 48000}) {
    try {
      ShapeBlocks(p, "tiny", 48000, 4, 1000);
      ADD_FAILURE() << p << " was accepted";
    } catch (const LoadError& e) {
      EXPECT_THAT(e.what(), HasSubstr("\"tiny\" is too short"));
    }
  }
  EXPECT_THROW(ShapeBlocks(1e12, "huge", 48000, 4, 1000), RoundingOverflow);
}

TEST_F(RecordingLoad, SliceLevels) {
  const std::string wav = folder.Write(
      "levels.wav", MonoWav16(48000, {0, 0, 0, 0, 1, 0, 0, 0, -32768, -32768, -32768, -32768}));
  const Measurement two = Loaded(wav, "13");  // L = 12, 2 rows: samples 0..7
  ASSERT_EQ(two.grid.RowCount(), 2);
  EXPECT_EQ(two.grid.At(1, 1), 0.0f);
  EXPECT_EQ(two.grid.At(2, 1), 0.0f);
  const Measurement three = Loaded(wav, "17");  // L = 16, 3 rows
  EXPECT_NEAR(three.grid.At(3, 1), 221.8071f, 1e-4f);
  EXPECT_EQ(three.grid.At(3, 1), static_cast<float>(10.0 * std::log(4294967296.0)));
  EXPECT_EQ(three.peakLevel, three.grid.At(3, 1));

  // Full-scale slices whose sum differs when rounded otherwise than once per addition: summed
  // exactly and rounded once, the second gives 203.47720; with each square rounded too, the first
  // gives 212.48634 and the second 203.47720.
  const std::vector<std::int16_t> mixed[] = {{5418, 24792, -31094, -8958},
                                             {-10308, 14251, 16111, 10863}};
  std::vector<std::int16_t> loud = mixed[0];
  loud.insert(loud.end(), mixed[1].begin(), mixed[1].end());
  const Measurement full = Loaded(folder.Write("full.wav", MonoWav16(48000, loud)), "13");
  EXPECT_EQ(full.grid.At(1, 1), SliceLevelByRule(mixed[0]));
  EXPECT_EQ(full.grid.At(1, 1), 212.486328125f);  // 10 ln 1691080576
  EXPECT_EQ(full.grid.At(2, 1), SliceLevelByRule(mixed[1]));
  EXPECT_EQ(full.grid.At(2, 1), 203.47721862792969f);

  const std::string pcm = folder.Write("quiet.pcm", FloatBody(std::vector<float>(40, 0.05f)));
  const Measurement quiet = Loaded(pcm, "20", three.peakLevel);
  EXPECT_EQ(quiet.sampleRate, 60606);
  EXPECT_NEAR(quiet.grid.At(1, 1), -46.0517f, 1e-3f);
  EXPECT_FLOAT_EQ(quiet.peakLevel, 221.8071f);  // a quieter file leaves the peak
}

TEST_F(RecordingLoad, PcmDialogueAndNegativeLevelsLeaveThePeakAtZero) {
  const std::string pcm = folder.Write("quiet.pcm", FloatBody(std::vector<float>(100, 0.01f)));
  const Measurement s = Loaded(pcm, " 50 ");
  EXPECT_THAT(host.prompts, ElementsAre(""));
  EXPECT_EQ(host.yields, 2 + 1);    // no yield before the prompt
  EXPECT_EQ(s.grid.MicCount(), 2);  // rnd(100 / 49)
  EXPECT_LT(s.grid.At(1, 1), 0.0f);
  EXPECT_EQ(s.peakLevel, 0.0f);
}

TEST_F(RecordingLoad, SamplesBeyondTheDataChunkOrTheFileAreZero) {
  // 60 samples of 1000 followed by a chunk of loud bytes that are not samples.
  const auto wav = RiffWave({{"fmt ", FmtBody(1, 1, 8000, 16)},
                             {"data", Int16Body(std::vector<std::int16_t>(60, 1000))},
                             {"LIST", std::vector<std::uint8_t>(100, 0x7F)}});
  const Measurement s = Loaded(folder.Write("short.wav", wav), "100");
  ASSERT_EQ(s.grid.RowCount(), 24);
  ASSERT_EQ(s.grid.MicCount(), 1);  // rnd(60 / 99)
  EXPECT_FLOAT_EQ(s.grid.At(15, 1), static_cast<float>(10.0 * std::log(4e6)));
  for (int row = 16; row <= 24; ++row) EXPECT_EQ(s.grid.At(row, 1), 0.0f) << row;
}

TEST_F(RecordingLoad, LessThanHalfABlockGivesNoColumns) {
  const Measurement s = Loaded(folder.Write("tiny.pcm", FloatBody({1, 1, 1})), "8");
  EXPECT_EQ(s.grid.MicCount(), 0);  // 8 < 10: seconds, L = 484847
  EXPECT_EQ(s.grid.RowCount(), 400);
  EXPECT_TRUE(host.progress.empty());
}

TEST_F(RecordingLoad, RefusalsCancelAndFailuresHandBackNoMeasurement) {
  const auto stereo = RiffWave({{"fmt ", FmtBody(1, 2, 44100, 16)}, {"data", {1, 2, 3, 4}}});
  EXPECT_EQ(RefusalOf(Load(folder.Write("stereo.wav", stereo), "4096")), RefusalReason::NotMono);
  EXPECT_TRUE(host.prompts.empty());
  EXPECT_FALSE(host.loading);
  EXPECT_THAT(host.loadingChanges, ElementsAre(true, false));

  // Mono comes first: an 8-bit stereo file is refused as not mono.
  const auto stereo8 = RiffWave({{"fmt ", FmtBody(1, 2, 44100, 8)}, {"data", {1, 2}}});
  EXPECT_EQ(RefusalOf(Load(folder.Write("stereo8.wav", stereo8), "4096")), RefusalReason::NotMono);
  EXPECT_TRUE(host.prompts.empty());
  // Mono files of other sample formats are decoded by libsndfile and asked for their period.
  for (auto [tag, bits] : {std::pair<int, int>{1, 8}, {1, 24}, {3, 32}, {1, 32}}) {
    const auto wav = RiffWave({{"fmt ", FmtBody(static_cast<std::uint16_t>(tag), 1, 44100,
                                                static_cast<std::int16_t>(bits))},
                               {"data", std::vector<std::uint8_t>(64, 0x40)}});
    const LoadResult other = Load(folder.Write("other.wav", wav), "4096");
    EXPECT_TRUE(std::holds_alternative<Measurement>(other))
        << "format " << tag << ", " << bits << " bits: " << ::testing::PrintToString(other);
  }
  EXPECT_EQ(host.prompts.size(), 4u);
  host.prompts.clear();
  EXPECT_FALSE(host.loading);

  const std::string good =
      folder.Write("good.wav", MonoWav16(22050, std::vector<std::int16_t>(500, 9)));
  const LoadResult cancelled = Load(good, std::nullopt);
  EXPECT_TRUE(std::holds_alternative<Cancelled>(cancelled)) << ::testing::PrintToString(cancelled);
  EXPECT_THAT(host.prompts, ElementsAre("4096"));
  EXPECT_FALSE(host.loading);
  EXPECT_EQ(ErrorOf(good, "abc"), "the repetition period \"abc\" is not a number");
  EXPECT_EQ(ErrorOf(good, ""), "the repetition period \"\" is not a number");
  EXPECT_THAT(ErrorOf(good, "0"), HasSubstr("is too short"));
  EXPECT_THAT(ErrorOf(good, "-3"), HasSubstr("is too short"));
  EXPECT_THAT(ErrorOf(folder.Write("bad.pcm", FloatBody({1, 2, 3})), "1e300"),
              HasSubstr("\"1e300\" gives blocks of 1e+300 samples, beyond the range"));
  EXPECT_FALSE(host.loading);
}

TEST_F(RecordingLoad, NonFiniteSamplesAndHugeEnergiesNameTheColumn) {
  std::vector<float> samples(40, 0.5f);
  samples[20 + 5] = std::numeric_limits<float>::infinity();
  const std::string inf = folder.Write("inf.pcm", FloatBody(samples));
  EXPECT_EQ(ErrorOf(inf, "20"),
            "microphone column 2 holds a sample that is not a finite number (in row 2)");
  samples[20 + 5] = std::numeric_limits<float>::quiet_NaN();
  EXPECT_THAT(ErrorOf(folder.Write("nan.pcm", FloatBody(samples)), "20"),
              HasSubstr("microphone column 2 holds a sample that is not a finite number"));
  samples[20 + 5] = 0.5f;
  samples[3] = 2e19f;  // finite, but its square is not
  EXPECT_EQ(ErrorOf(folder.Write("loud.pcm", FloatBody(samples)), "20"),
            "a slice of microphone column 1 (row 1) has an energy beyond the single-precision "
            "range");
}

TEST_F(RecordingLoad, MissingFileIsAnErrorAndNothingIsCreated) {
  const std::string path = (folder.Path() / "absent.pcm").string();
  EXPECT_EQ(ErrorOf(path, "100"), "the file does not exist");
  EXPECT_FALSE(std::filesystem::exists(path));
}

// Levels computed straight from all samples in memory, for comparison with the reader, which
// reads only the used start of each block (one or many blocks per read).
std::vector<float> ReferenceColumns(const std::vector<float>& samples, std::int32_t last,
                                    std::int32_t rows, std::int32_t mics) {
  std::vector<float> out;
  for (std::int32_t m = 0; m < mics; ++m) {
    for (std::int32_t t = 0; t < rows; ++t) {
      float cell = 0.0f;
      for (std::int32_t k = 0; k < 4; ++k) {
        const std::size_t i = static_cast<std::size_t>(m) * (last + 1) + t * 4 + k;
        const float s = i < samples.size() ? samples[i] : 0.0f;
        const float square = s * s;
        cell = cell + square;
      }
      out.push_back(cell > 0 ? static_cast<float>(10.0 * std::log(static_cast<double>(cell))) : 0);
    }
  }
  return out;
}

TEST_F(RecordingLoad, PartialReadsGiveTheLevelsOfTheWholeFile) {
  std::mt19937 random(7);
  std::normal_distribution<float> noise(0.0f, 0.3f);
  std::vector<float> samples(300001);
  for (float& s : samples) s = noise(random);
  const std::string pcm = folder.Write("noise.pcm", FloatBody(samples));
  for (int period : {11, 37, 1603, 5000, 70001, 200000}) {
    const Measurement s = Loaded(pcm, std::to_string(period));
    const LevelGrid& grid = s.grid;
    std::vector<float> levels;
    for (std::int32_t m = 1; m <= grid.MicCount(); ++m) {
      const auto column = grid.DataColumn(m);
      levels.insert(levels.end(), column.begin(), column.end());
    }
    // The reader's vectorised logarithm: within one single-precision step of std::log's level.
    const std::vector<float> expected =
        ReferenceColumns(samples, period - 1, grid.RowCount(), grid.MicCount());
    ASSERT_EQ(levels.size(), expected.size()) << "period " << period;
    for (std::size_t i = 0; i < levels.size(); ++i) {
      const std::int64_t steps = std::int64_t{std::bit_cast<std::int32_t>(levels[i])} -
                                 std::bit_cast<std::int32_t>(expected[i]);
      ASSERT_LE(std::abs(steps), 1) << "period " << period << ", cell " << i << ": " << levels[i]
                                    << " against " << expected[i];
    }
  }
}

}  // namespace

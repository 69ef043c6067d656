// Audio files decoded by libsndfile: every sample format in 16-bit units, channels as columns,
// mono files by their periods as the 16-bit WAV reader takes them, and the failures.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <string>
#include <variant>
#include <vector>

#include "load_measurement.h"
#include "recording_host.h"
#include "sample_files.h"
#include "wav_test_files.h"

using ::testing::HasSubstr;

namespace {

class AudioLoad : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) { return (folder.Path() / name).string(); }
  Measurement Loaded(const std::string& path, LoadChoices choices = {}) {
    return LoadedMeasurement(path, host, 0.0f, kTestDecimation, choices);
  }
  std::string ErrorOf(const std::string& path, LoadChoices choices = {}) {
    return LoadFailureMessage(path, host, 0.0f, kTestDecimation, choices);
  }

  TempFolder folder;
  RecordingHost host;
};

TEST_F(AudioLoad, EveryFormatGivesItsChannelsInSixteenBitUnits) {
  struct Case {
    const char* name;
    int format;
    bool floating;   // written as doubles, else as left-justified 32-bit integers
    double written;  // the sample value handed to libsndfile
    double units;    // the same sample in 16-bit units
  };
  const Case cases[] = {
      {"8bit.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, false, -100.0 * (1 << 24), -25600},
      {"24bit.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, false, 1000000.0 * 256, 3906.25},
      {"32bit.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_32, false, 123456789, 123456789 / 65536.0},
      {"float.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, true, 0.25, 8192},
      {"double.wav", SF_FORMAT_WAV | SF_FORMAT_DOUBLE, true, 0.1, 3276.8},
      {"extensible.wav", SF_FORMAT_WAVEX | SF_FORMAT_PCM_24, false, -7.0 * 256, -7 / 256.0},
      {"tone.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, false, 1234.0 * 65536, 1234},
      {"deep.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, false, -8000000.0 * 256, -31250},
      {"tone.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, false, 32767.0 * 65536, 32767},
      {"tone.aif", SF_FORMAT_AIFF | SF_FORMAT_PCM_24, false, 256.0 * 256, 1},
      {"tone.w64", SF_FORMAT_W64 | SF_FORMAT_FLOAT, true, -1.0, -32768},
      {"tone.rf64", SF_FORMAT_RF64 | SF_FORMAT_PCM_24, false, 4096.0 * 256, 16},
      {"tone.caf", SF_FORMAT_CAF | SF_FORMAT_PCM_16, false, -2.0 * 65536, -2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // Channel 1 holds the sample throughout; channel 2 only in frame 9 (row 3).
    constexpr int kFrames = 42;
    std::vector<double> interleaved(2 * kFrames, 0.0);
    for (int f = 0; f < kFrames; ++f) interleaved[2 * f] = c.written;
    interleaved[2 * 9 + 1] = c.written;
    const std::string path = Path(c.name);
    if (c.floating) {
      WriteAudioDoubles(path, c.format, 2, 22050, interleaved);
    } else {
      WriteAudioInts(path, c.format, 2, 22050,
                     std::vector<std::int32_t>(interleaved.begin(), interleaved.end()));
    }
    const bool wav = std::string(c.name).ends_with(".wav");
    const Measurement s = Loaded(path, LoadChoices{wav, {}, {}});
    ASSERT_EQ(s.grid.MicCount(), 2);
    ASSERT_EQ(s.grid.RowCount(), 10);  // floor(42 / 4)
    EXPECT_EQ(s.sampleRate, 22050);
    EXPECT_EQ(ColumnName(s.columns, 2), "Channel 2");
    EXPECT_TRUE(s.choices.channelsAsPositions);
    const double u = c.units;
    for (int row = 1; row <= 10; ++row) {
      EXPECT_FLOAT_EQ(s.grid.At(row, 1), ExpectedLevel({u, u, u, u})) << row;
      EXPECT_EQ(s.grid.At(row, 2), row == 3 ? ExpectedLevel({0, u, 0, 0}) : 0.0f) << row;
    }
  }
  EXPECT_TRUE(host.prompts.empty());
}

TEST_F(AudioLoad, MonoFilesTakeTheirPeriodsAsTheSixteenBitWavDoes) {
  std::vector<std::int16_t> samples(1000);
  for (std::size_t i = 0; i < samples.size(); ++i) {
    samples[i] = static_cast<std::int16_t>((i * 7919) % 20001) - 10000;
  }
  const std::string wav = folder.Write("canonical.wav", MonoWav16(8000, samples));
  std::vector<std::int32_t> ints;
  for (const std::int16_t s : samples) ints.push_back(std::int32_t{s} * 65536);
  const std::string flac = Path("same.flac");
  WriteAudioInts(flac, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 1, 8000, ints);
  const std::string wav24 = Path("same24.wav");
  WriteAudioInts(wav24, SF_FORMAT_WAV | SF_FORMAT_PCM_24, 1, 8000, ints);

  host.answers = {"100", "100", "100"};
  const Measurement designed = Loaded(wav);
  ASSERT_EQ(designed.grid.MicCount(), 10);  // rnd(1000 / 99)
  ASSERT_EQ(designed.grid.RowCount(), 24);  // rnd(99 / 4 - 1)
  for (const std::string& path : {flac, wav24}) {
    const Measurement s = Loaded(path);
    ASSERT_EQ(s.grid.MicCount(), 10) << path;
    ASSERT_EQ(s.grid.RowCount(), 24) << path;
    for (int column = 1; column <= 10; ++column) {
      for (int row = 1; row <= 24; ++row) {
        EXPECT_FLOAT_EQ(s.grid.At(row, column), designed.grid.At(row, column)) << path;
      }
    }
    EXPECT_EQ(s.choices.period, "100");
  }
  EXPECT_EQ(host.prompts, (std::vector<std::string>{"4096", "4096", "4096"}));
  EXPECT_EQ(host.recordings.back().sampleCount, 1000.0);

  // Given as positions, a mono file is one column of slices from its first frame.
  const Measurement column = Loaded(flac, LoadChoices{true, {}, {}});
  EXPECT_EQ(column.grid.MicCount(), 1);
  EXPECT_EQ(column.grid.RowCount(), 250);
  EXPECT_EQ(host.prompts.size(), 3u);
}

TEST_F(AudioLoad, SofaSetAndAudioFileOfTheSameResponsesGiveTheSameGrid) {
  SofaSpec shape;
  shape.floatSamples = true;
  shape.m = 3, shape.n = 64;
  shape.sample = [](std::size_t m, std::size_t, std::size_t, std::size_t n) {
    return std::sin(0.3 * static_cast<double>(n * (m + 1))) / static_cast<double>(n + 1);
  };
  const std::string sofa = folder.Write("set.sofa", std::string_view{});
  WriteSofa(sofa, shape);
  std::vector<double> interleaved;
  for (std::size_t n = 0; n < shape.n; ++n) {
    for (std::size_t m = 0; m < shape.m; ++m) {
      interleaved.push_back(static_cast<float>(shape.sample(m, 0, 0, n)));
    }
  }
  const std::string caf = Path("set.caf");
  WriteAudioDoubles(caf, SF_FORMAT_CAF | SF_FORMAT_FLOAT, 3, 48000, interleaved);
  const Measurement a = Loaded(sofa);
  const Measurement b = Loaded(caf);
  ASSERT_EQ(a.grid.MicCount(), 3);
  ASSERT_EQ(b.grid.RowCount(), a.grid.RowCount());
  for (int column = 1; column <= 3; ++column) {
    for (int row = 1; row <= a.grid.RowCount(); ++row) {
      EXPECT_EQ(a.grid.At(row, column), b.grid.At(row, column)) << row << ", " << column;
    }
  }
  EXPECT_EQ(a.peakLevel, b.peakLevel);
}

TEST_F(AudioLoad, FailuresAndRefusals) {
  // A FLAC cut in half decodes fewer frames than its header promises.
  std::vector<std::int32_t> noise(20000);
  for (std::size_t i = 0; i < noise.size(); ++i) {
    noise[i] = static_cast<std::int32_t>((i * 2654435761u) % 60000) * 65536 - 30000 * 65536;
  }
  const std::string flac = Path("cut.flac");
  WriteAudioInts(flac, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 1, 48000, noise);
  std::filesystem::resize_file(flac, std::filesystem::file_size(flac) / 2);
  host.answers = {"1000"};
  EXPECT_THAT(ErrorOf(flac), HasSubstr("it decodes to fewer frames than its header promises"));

  std::vector<double> floats(2 * 40, 0.5);
  floats[2 * 13 + 1] = std::numeric_limits<double>::quiet_NaN();
  const std::string nan = Path("nan.w64");
  WriteAudioDoubles(nan, SF_FORMAT_W64 | SF_FORMAT_FLOAT, 2, 48000, floats);
  EXPECT_EQ(ErrorOf(nan), "channel 2 holds a sample that is not a finite number (in row 4)");

  EXPECT_THAT(ErrorOf(folder.Write("text.flac", "not audio\n")),
              HasSubstr("it is not an audio file that can be decoded"));
  EXPECT_EQ(ErrorOf(Path("missing.caf")), "the file does not exist");

  // Several channels in a WAV are refused unless they are asked for as positions.
  const std::string stereo = Path("stereo.wav");
  WriteAudioDoubles(stereo, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, 48000, floats);
  const LoadResult refused = LoadMeasurement(stereo, 0.0f, kTestDecimation, host);
  EXPECT_EQ(RefusalOf(refused), RefusalReason::NotMono);
  EXPECT_FALSE(host.loading);
  EXPECT_THAT(ErrorOf(stereo, LoadChoices{true, {}, {}}), HasSubstr("channel 2 holds a sample"));
}

}  // namespace

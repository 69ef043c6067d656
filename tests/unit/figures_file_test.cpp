// The figures of a whole file: the responses each kind gives, the refusals, a file that changed
// since its load, and the CSV text.

#include "figures_run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <filesystem>
#include <vector>

#include "figures_csv.h"
#include "load_error.h"
#include "mls_file.h"
#include "recording_host.h"
#include "sample_files.h"
#include "wav_test_files.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

std::vector<double> Responses(const ResponseSource& source, std::int32_t column) {
  std::vector<double> response{42.0};  // replaced, not appended to
  source.Fetch(column, response);
  return response;
}

class FiguresFile : public ::testing::Test {
 protected:
  std::unique_ptr<ResponseSource> Open(const std::string& path, const char* period) {
    host.answers = {std::string(period)};
    return OpenResponses(path, kTestDecimation, {}, host);
  }
  TempFolder folder;
  RecordingHost host;
};

TEST_F(FiguresFile, RecordingBlocksAreTheResponsesAndTheEndReadsAsZero) {
  // Period 10 samples: blocks of 10; 15 samples make rnd(15 / 9) = 2 positions, the second cut
  // after its fifth sample.
  std::vector<std::int16_t> samples(15);
  for (std::size_t n = 0; n < samples.size(); ++n)
    samples[n] = static_cast<std::int16_t>(n % 2 ? -n : n);
  samples[14] = -32768;
  const auto source = Open(folder.Write("r.wav", MonoWav16(8000, samples)), "10");
  ASSERT_TRUE(source);
  EXPECT_EQ(host.prompts, std::vector<std::string>{"4096"});
  EXPECT_EQ(source->ColumnCount(), 2);
  EXPECT_EQ(source->SampleRate(), 8000.0);
  EXPECT_THAT(Responses(*source, 1), ElementsAre(0, -1, 2, -3, 4, -5, 6, -7, 8, -9));
  EXPECT_THAT(Responses(*source, 2), ElementsAre(10, -11, 12, -13, -32768, 0, 0, 0, 0, 0));

  std::vector<std::uint8_t> floats;
  for (int n = 0; n < 15; ++n) AppendFloat32(floats, n == 1 ? 1e-3f : 0.5f * static_cast<float>(n));
  const auto pcm = Open(folder.Write("r.pcm", floats), "10");
  ASSERT_TRUE(pcm);
  EXPECT_EQ(pcm->SampleRate(), 60606.0);
  EXPECT_EQ(Responses(*pcm, 1)[1], double{1e-3f});
  EXPECT_THAT(Responses(*pcm, 2), ElementsAre(5, 5.5, 6, 6.5, 7, 0, 0, 0, 0, 0));
}

TEST_F(FiguresFile, KindsWithoutSamplesAndRefusedFilesGiveNoFigures) {
  const std::string mls = folder.Write("m.mls", MlsBytes({{{1.0f, 0.0f}}}));
  const std::string text = folder.Write("t.__z", std::string("Microphones = 1\n"));
  try {
    Open(mls, "4");
    ADD_FAILURE();
  } catch (const NoSamplesError& e) {
    EXPECT_THAT(e.what(), HasSubstr("an MLS file holds complex spectra"));
  }
  try {
    Open(text, "4");
    ADD_FAILURE();
  } catch (const NoSamplesError& e) {
    EXPECT_THAT(e.what(), HasSubstr("a text export (kind \"__Z\") holds levels only"));
  }
  EXPECT_TRUE(host.prompts.empty());

  const std::string stereo =
      folder.Write("s.wav", RiffWave({{"fmt ", FmtBody(1, 2, 8000, 16)}, {"data", {0, 0, 0, 0}}}));
  EXPECT_THROW(Open(stereo, "4"), LoadError);
  const std::string mono = folder.Write("c.wav", MonoWav16(8000, {1, 2, 3, 4}));
  host.answers = {std::nullopt};
  EXPECT_EQ(OpenResponses(mono, kTestDecimation, {}, host), nullptr);
  host.answers = {std::nullopt};
  EXPECT_EQ(FiguresOfFile(mono, kTestDecimation, {}, host, StampOf(mono)), std::nullopt);
}

TEST_F(FiguresFile, EveryColumnInMapOrderAsOneResponseAlone) {
  // Five positions of 1000 samples with different decays, at 8000 per second.
  std::vector<std::int16_t> samples;
  std::vector<std::vector<double>> responses;
  for (int m = 0; m < 5; ++m) {
    responses.emplace_back();
    for (int n = 0; n < 1000; ++n) {
      const double value = n < m * 10 ? 0.0 : 30000.0 * std::exp(-(n - m * 10) / (40.0 + 30 * m));
      samples.push_back(static_cast<std::int16_t>(std::lround(value)));
      responses.back().push_back(samples.back());
    }
  }
  const std::string wav = folder.Write("five.wav", MonoWav16(8000, samples));
  host.answers = {std::string("1000")};
  const auto figures = FiguresOfFile(wav, kTestDecimation, {}, host, StampOf(wav));
  ASSERT_TRUE(figures);
  ASSERT_EQ(figures->size(), 5u);
  for (std::size_t m = 0; m < 5; ++m)
    EXPECT_EQ((*figures)[m], ComputeRoomFigures(responses[m], 8000));
  EXPECT_EQ(host.progress.back(), 100.0f);
  EXPECT_EQ(host.yields, 5);

  // The same name with other contents since the load: said, not mixed.
  const std::optional<FileStamp> loaded = FileStamp{1, 2};
  host.answers = {std::string("1000")};
  EXPECT_THROW(FiguresOfFile(wav, kTestDecimation, {}, host, loaded), LoadError);
}

TEST_F(FiguresFile, ASampleThatIsNotFiniteNamesItsColumn) {
  std::vector<std::uint8_t> floats;
  for (int n = 0; n < 20; ++n) AppendFloat32(floats, n == 11 ? NAN : 1.0f);
  host.answers = {std::string("10")};
  try {
    FiguresOfFile(folder.Write("nan.pcm", floats), kTestDecimation, {}, host, std::nullopt);
    ADD_FAILURE();
  } catch (const LoadError& e) {
    EXPECT_THAT(e.what(), HasSubstr("microphone column 2: sample 2 is not a finite number"));
  }
}

// Three responses of 1 s at 8 kHz in 16-bit units: decaying noise with T60 of 0.3, 0.6 and
// 1.2 s, starting 0, 5 and 10 ms in.
std::vector<std::vector<std::int16_t>> DecayingResponses() {
  constexpr int kRate = 8000;
  std::uint32_t state = 12345;
  std::vector<std::vector<std::int16_t>> responses;
  for (const double t60 : {0.3, 0.6, 1.2}) {
    const auto start = static_cast<int>(responses.size()) * 40;
    std::vector<std::int16_t>& h = responses.emplace_back(kRate);
    for (int n = start; n < kRate; ++n) {
      state = state * 1664525u + 1013904223u;
      const double noise = static_cast<double>(state >> 8) / (1u << 24) - 0.5;
      const double decay = std::exp(-6.9078 * (n - start) / kRate / t60);
      h[static_cast<std::size_t>(n)] =
          static_cast<std::int16_t>(std::lround(60000.0 * noise * decay));
    }
  }
  return responses;
}

TEST_F(FiguresFile, EveryKindWithSamplesGivesTheFiguresOfTheSameResponses) {
  const auto h = DecayingResponses();
  const int n = static_cast<int>(h[0].size());
  std::vector<std::int16_t> blocks;  // the responses back to back: periods of n samples
  for (const auto& response : h) blocks.insert(blocks.end(), response.begin(), response.end());
  const std::string period = std::to_string(n);
  host.answers = {period};
  const auto expected = FiguresOfFile(folder.Write("base.wav", MonoWav16(8000, blocks)),
                                      kTestDecimation, {}, host, std::nullopt);
  ASSERT_TRUE(expected);
  ASSERT_EQ(expected->size(), 3u);
  ASSERT_NE((*expected)[0], (*expected)[1]);
  EXPECT_NEAR(*(*expected)[2].t30S, 1.2, 0.024);

  const auto path = [&](const char* name) { return (folder.Path() / name).string(); };
  std::vector<std::int32_t> mono;  // as libsndfile takes 32-bit integers: left-justified
  for (const std::int16_t sample : blocks) mono.push_back(sample * 65536);
  std::vector<std::int32_t> channels;
  for (int k = 0; k < n; ++k) {
    for (const auto& response : h)
      channels.push_back(response[static_cast<std::size_t>(k)] * 65536);
  }
  WriteAudioInts(path("periods.caf"), SF_FORMAT_CAF | SF_FORMAT_PCM_16, 1, 8000, mono);
  WriteAudioInts(path("periods24.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_24, 1, 8000, mono);
  WriteAudioInts(path("channels.flac"), SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 3, 8000, channels);
  WriteAudioInts(path("channels.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 3, 8000, channels);

  // Measurement m of the set lies at azimuth 270 - 90 m and holds response 2 - m for receiver 2
  // and emitter 2 (the others are louder, earlier and shorter), so that the horizontal plane
  // orders the columns as the WAV's.
  SofaSpec sofa;
  sofa.dataType = "FIR-E";
  sofa.irDimensions = {"E", "M", "R", "N"};
  sofa.m = 3, sofa.r = 2, sofa.e = 2, sofa.n = static_cast<std::size_t>(n);
  sofa.rates = {8000.0};
  sofa.positions = {270, 0, 1, 180, 0, 1, 90, 0, 1};
  sofa.sample = [&](std::size_t m, std::size_t r, std::size_t e, std::size_t k) {
    if (r != 1 || e != 1) return k < 4 ? 0.5 : 0.0;
    return h[2 - m][k] / 32768.0;
  };
  WriteSofa(path("set.sofa"), sofa);
  const SofaChoice chosen{2, 2, SofaSelection::Horizontal};

  const struct {
    const char* name;
    LoadChoices choices;
  } cases[] = {
      {"periods.caf", {false, period, std::nullopt}},
      {"periods24.wav", {false, period, std::nullopt}},
      {"channels.flac", {}},
      {"channels.wav", {true, std::nullopt, std::nullopt}},
      {"set.sofa", {false, std::nullopt, chosen}},
  };
  for (const auto& c : cases) {
    const auto figures =
        FiguresOfFile(path(c.name), kTestDecimation, c.choices, host, std::nullopt);
    ASSERT_TRUE(figures) << c.name;
    EXPECT_EQ(*figures, *expected) << c.name;
  }
  EXPECT_TRUE(host.answers.empty() && host.sofaQuestions.empty());  // the choices answered all

  // Without given answers the same questions are asked as by a load.
  host.sofaAnswers = {chosen};
  EXPECT_EQ(*FiguresOfFile(path("set.sofa"), kTestDecimation, {}, host, std::nullopt), *expected);
  EXPECT_EQ(host.sofaQuestions.size(), 1u);
  host.answers = {period};
  EXPECT_EQ(*FiguresOfFile(path("periods.caf"), kTestDecimation, {}, host, std::nullopt),
            *expected);
  EXPECT_EQ(host.prompts.back(), "4096");
  host.sofaAnswers = {std::nullopt};
  EXPECT_EQ(FiguresOfFile(path("set.sofa"), kTestDecimation, {}, host, std::nullopt), std::nullopt);
}

TEST_F(FiguresFile, AChannelIsItsFirstTwentySecondsAtMost) {
  // 192 kHz: two channels' 20 s fill one group of decoded responses, the third starts another.
  constexpr int kRate = 192000;
  constexpr int kCap = 20 * kRate;
  const int frames = kCap + 5;
  std::vector<double> interleaved(static_cast<std::size_t>(frames) * 3, 0.0);
  const auto at = [&](int frame, int channel) -> double& {
    return interleaved[static_cast<std::size_t>(frame) * 3 + static_cast<std::size_t>(channel)];
  };
  at(kCap - 1, 0) = 0.5;  // the last frame that counts
  at(kCap, 1) = 0.5;      // the first that does not
  at(3, 2) = 0.05;
  at(kCap, 2) = 0.5;  // louder, but too late to be the onset
  const std::string flac = (folder.Path() / "long.flac").string();
  WriteAudioDoubles(flac, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 3, kRate, interleaved);

  const auto source = OpenResponses(flac, kTestDecimation, {}, host);
  ASSERT_TRUE(source);
  EXPECT_EQ(Responses(*source, 2).size(), static_cast<std::size_t>(kCap));
  const auto figures = FiguresOfFile(flac, kTestDecimation, {}, host, std::nullopt);
  ASSERT_TRUE(figures);
  ASSERT_EQ(figures->size(), 3u);
  EXPECT_EQ((*figures)[0].onsetMs, 1000.0 * (kCap - 1) / kRate);
  EXPECT_EQ((*figures)[1], RoomFigures{});
  EXPECT_EQ((*figures)[2].onsetMs, 3000.0 / kRate);
}

TEST(FiguresCsv, HeaderThenOneLinePerPositionWithNineDigitsAndEmptyGaps) {
  RoomFigures first;
  first.onsetMs = 1.0 / 3.0;
  first.edtS = 1234567890.0;
  first.t30S = 0.5;
  first.c50Db = -2e-7;
  first.tsMs = 100.0;
  EXPECT_EQ(FiguresCsv({first, RoomFigures{}}),
            "position,onset_ms,edt_s,t20_s,t30_s,c50_db,c80_db,d50_percent,ts_ms\n"
            "1,0.333333333,1.23456789e+09,,0.5,-2e-07,,,100\n"
            "2,,,,,,,,\n");
}

}  // namespace

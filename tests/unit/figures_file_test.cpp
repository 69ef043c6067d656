// The figures of a whole file: the responses each kind gives, the refusals, a file that changed
// since its load, and the CSV text.

#include "figures_run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "figures_csv.h"
#include "load_error.h"
#include "mls_file.h"
#include "recording_host.h"
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

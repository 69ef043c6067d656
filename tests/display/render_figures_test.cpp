// The renderer's --figures: the CSV of every position beside the other outputs, in a batch, and
// the refusals that write nothing.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "figures_csv.h"
#include "figures_run.h"
#include "mls_file.h"
#include "quiet_host.h"
#include "renderer_run.h"

using ::testing::HasSubstr;
using ::testing::StartsWith;
namespace fs = std::filesystem;

namespace {

struct RenderFiguresTest : RendererRun {
  // Three positions of 2000 samples at 16 kHz, each an exponential decay of its own length.
  RenderFiguresTest() {
    std::vector<std::int16_t> samples;
    for (int m = 0; m < 3; ++m) {
      for (int n = 0; n < 2000; ++n) {
        samples.push_back(static_cast<std::int16_t>(
            std::lround(30000.0 * std::cos(n * 0.3) * std::exp(-n / (100.0 + 150.0 * m)))));
      }
    }
    wav = folder.Write("three.wav", MonoWav16(16000, samples));
    QuietHost host(std::string("2000"));
    expected = FiguresCsv(*FiguresOfFile(wav, 4, {}, host, std::nullopt));
  }
  std::size_t FilesInFolder() const {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()));
  }

  std::string wav;
  std::string expected;
};

TEST_F(RenderFiguresTest, FiguresGoBesideEveryOtherOutput) {
  ASSERT_EQ(Run({"--period", "2000", "--figures", "-", wav}), 0) << err.str();
  EXPECT_EQ(out.str(), expected);
  EXPECT_THAT(expected, StartsWith(std::string(kFiguresCsvHeader) + "\n1,0,"));
  EXPECT_EQ(std::count(expected.begin(), expected.end(), '\n'), 4);

  ASSERT_EQ(Run({"--period", "2000", "--figures", In("f.csv"), "--png", In("m.png"), "--grid",
                 In("g.npy"), "--profile-row", "1", "--legend", "--zoom", "2", wav}),
            0)
      << err.str();
  EXPECT_EQ(ReadAll(In("f.csv")), expected);
  EXPECT_THAT(out.str(), StartsWith("microphone,level\n"));
  EXPECT_TRUE(fs::exists(In("m.png")) && fs::exists(In("g.npy")));

  // Earlier files only raise the peak: the figures are the last file's.
  const std::string mls = folder.Write("m.mls", MlsBytes({{{1, 0}}}));
  ASSERT_EQ(Run({"--period", "2000", "--figures", "-", mls, wav}), 0) << err.str();
  EXPECT_EQ(out.str(), expected);
}

TEST_F(RenderFiguresTest, EachFileOfABatchWritesItsOwnFigures) {
  const std::string copy = folder.Write("again.wav", ReadAll(wav));
  ASSERT_EQ(
      Run({"--period", "2000", "--output-dir", In("out"), "--figures", "csv", "--json", wav, copy}),
      0)
      << err.str();
  EXPECT_EQ(ReadAll(In("out/three.wav.figures.csv")), expected);
  EXPECT_EQ(ReadAll(In("out/again.wav.figures.csv")), expected);
  EXPECT_THAT(out.str(), HasSubstr("three.wav.figures.csv\"]}"));
}

TEST_F(RenderFiguresTest, KindsWithoutSamplesAndWrongArgumentsWriteNothing) {
  const std::string mls = folder.Write("m.mls", MlsBytes({{{1, 0}}}));
  const std::string text = folder.Write("t.__lev", std::string("Microphones = 1\n"));
  const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
      {{"--figures", "-", "--png", In("x.png"), mls},
       "no figures for " + mls +
           ": acoustic figures need the samples of impulse responses, and "
           "an MLS file holds complex spectra"},
      {{"--figures", In("f.csv"), wav, text}, "a text export (kind \"__LEV\") holds levels only"},
      {{"--figures", "csv", "--output-dir", In("out"), wav, mls}, "no figures for " + mls},
      {{"--figures", In("f.csv"), "--output-dir", In("out"), wav}, "give --figures csv"},
      {{"--figures", "-", "--json", wav}, "--json and the figures would share standard output"},
      {{"--figures", "-", "--profile-row", "1", wav},
       "the profiles and the figures would share standard output"},
      {{"--figures", "", wav}, "--figures needs a file"},
  };
  const std::size_t before = FilesInFolder();
  for (auto [arguments, message] : refused) {
    arguments.insert(arguments.begin(), {"--period", "2000"});
    EXPECT_EQ(Run(arguments), 2) << message;
    EXPECT_THAT(err.str(), HasSubstr(message));
    EXPECT_EQ(out.str(), "");
  }
  EXPECT_EQ(FilesInFolder(), before);

  // A period that the map accepts but that leaves no samples to read fails as a load would.
  EXPECT_EQ(Run({"--period", "2000", "--figures", In("f.csv"), In("missing.wav")}), 1);
  EXPECT_EQ(FilesInFolder(), before);
}

}  // namespace

// The renderer's --figures: the CSV of every position beside the other outputs, in a batch, and
// the refusals that write nothing.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <netcdf.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sstream>

#include "figures_csv.h"
#include "figures_run.h"
#include "mls_file.h"
#include "quiet_host.h"
#include "renderer_run.h"

using ::testing::HasSubstr;
using ::testing::StartsWith;
namespace fs = std::filesystem;

namespace {

constexpr const char* kKemar = "/usr/share/libmysofa/MIT_KEMAR_normal_pinna.sofa";

// The onset column of a figures CSV.
std::vector<double> Onsets(const std::string& csv) {
  std::istringstream lines(csv);
  std::string line;
  std::getline(lines, line);  // header
  std::vector<double> onsets;
  while (std::getline(lines, line)) {
    const std::size_t comma = line.find(',');
    onsets.push_back(std::stod(line.substr(comma + 1, line.find(',', comma + 1) - comma - 1)));
  }
  return onsets;
}

// The KEMAR set's horizontal plane read straight from its netCDF variables: for each measurement
// with |elevation| <= 2 by azimuth, its azimuth and the onset in ms of receiver's response (the
// first sample whose square reaches a hundredth of the largest).
std::vector<std::pair<double, double>> KemarHorizontalOnsets(std::size_t receiver) {
  int id = 0, var = 0;
  std::size_t m = 0, r = 0, n = 0;
  EXPECT_EQ(nc_open(kKemar, NC_NOWRITE, &id), NC_NOERR);
  int dim = 0;
  nc_inq_dimid(id, "M", &dim), nc_inq_dimlen(id, dim, &m);
  nc_inq_dimid(id, "R", &dim), nc_inq_dimlen(id, dim, &r);
  nc_inq_dimid(id, "N", &dim), nc_inq_dimlen(id, dim, &n);
  std::vector<double> positions(m * 3), ir(m * r * n);
  double rate = 0.0;
  nc_inq_varid(id, "SourcePosition", &var), nc_get_var_double(id, var, positions.data());
  nc_inq_varid(id, "Data.IR", &var), nc_get_var_double(id, var, ir.data());
  nc_inq_varid(id, "Data.SamplingRate", &var), nc_get_var_double(id, var, &rate);
  nc_close(id);
  std::vector<std::pair<double, double>> plane;
  for (std::size_t k = 0; k < m; ++k) {
    if (std::fabs(positions[3 * k + 1]) > 2.0) continue;
    const double* h = &ir[(k * r + receiver - 1) * n];
    double peak = 0.0;
    for (std::size_t i = 0; i < n; ++i) peak = std::max(peak, h[i] * h[i]);
    std::size_t onset = 0;
    while (h[onset] * h[onset] < peak / 100.0) ++onset;
    plane.emplace_back(positions[3 * k], 1000.0 * static_cast<double>(onset) / rate);
  }
  std::stable_sort(plane.begin(), plane.end(),
                   [](const auto& x, const auto& y) { return x.first < y.first; });
  return plane;
}

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

TEST_F(RenderFiguresTest, KemarOnsetsFollowTheInterauralDelay) {
  if (!fs::exists(kKemar)) GTEST_SKIP() << kKemar << " is not installed";
  for (const int receiver : {1, 2}) {
    ASSERT_EQ(Run({"--figures", "-", "--select", "horizontal", "--receiver",
                   std::to_string(receiver), kKemar}),
              0)
        << err.str();
    const std::vector<double> onsets = Onsets(out.str());
    const auto plane = KemarHorizontalOnsets(static_cast<std::size_t>(receiver));
    ASSERT_EQ(onsets.size(), 72u);
    ASSERT_EQ(plane.size(), 72u);
    for (std::size_t c = 0; c < 72; ++c) {
      EXPECT_NEAR(onsets[c], plane[c].second, 1e-8 * plane[c].second) << "column " << c + 1;
    }
    // Each ear hears a source on its own side first: receiver 1 (left) at 90°, 2 at 270°.
    const double near = receiver == 1 ? 90.0 : 270.0;
    const double far = 360.0 - near;
    const double first = *std::min_element(onsets.begin(), onsets.end());
    const double last = *std::max_element(onsets.begin(), onsets.end());
    for (std::size_t c = 0; c < 72; ++c) {
      if (onsets[c] == first) {
        EXPECT_LE(std::fabs(plane[c].first - near), 45.0) << c + 1;
      }
      if (onsets[c] == last) {
        EXPECT_LE(std::fabs(plane[c].first - far), 45.0) << c + 1;
      }
    }
    // Columns 1, 19 and 55 lie at 0°, 90° and 270°: onsets of 38, 29 and 56 samples at 44.1 kHz
    // for receiver 1, the ears swapped for receiver 2.
    const double pinned[] = {38, receiver == 1 ? 29.0 : 56.0, receiver == 1 ? 56.0 : 29.0};
    const std::size_t columns[] = {0, 18, 54};
    for (int k = 0; k < 3; ++k) {
      EXPECT_NEAR(onsets[columns[k]], 1000.0 * pinned[k] / 44100.0, 1e-9) << columns[k] + 1;
    }
  }
}

}  // namespace

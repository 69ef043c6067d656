// The renderer's --profile-column and --profile-row: the grid's column and row as CSV.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "mls_file.h"
#include "render_run.h"
#include "renderer_run.h"
#include "wav_test_files.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;
namespace fs = std::filesystem;

namespace {

struct RenderProfilesTest : RendererRun {
  // 3 microphones of 4 rows, every cell different.
  RenderProfilesTest() {
    std::vector<std::vector<ComplexPoint>> columns;
    for (int c = 1; c <= 3; ++c) {
      columns.emplace_back();
      for (int r = 1; r <= 4; ++r) columns.back().push_back({0.3f * float(r), 1.0f / float(c)});
    }
    measurement = folder.Write("m.mls", MlsBytes(columns));
    reference = folder.Write("r.mls", MlsBytes({{{1, 0}, {2, 0}}, {{3, 0}, {0.1f, 0}}}));
  }
  static std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  // The comma-separated numbers of a line (an empty field reads as NaN).
  static std::vector<float> Fields(const std::string& line) {
    std::vector<float> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, ',');)
      fields.push_back(field.empty() ? std::nanf("") : std::strtof(field.c_str(), nullptr));
    if (!line.empty() && line.back() == ',') fields.push_back(std::nanf(""));
    return fields;
  }
  // The grid's CSV (--grid) as rows of floats.
  std::vector<std::vector<float>> GridRows(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"--grid", In("g.csv")});
    EXPECT_EQ(Run(arguments), 0) << err.str();
    std::vector<std::vector<float>> rows;
    for (const std::string& line : Lines(ReadAll(In("g.csv")))) rows.push_back(Fields(line));
    return rows;
  }

  std::string measurement, reference;
};

TEST_F(RenderProfilesTest, TheProfilesAreTheGridsColumnAndRow) {
  const auto grid = GridRows({measurement});
  ASSERT_EQ(Run({"--profile-column", "2", "--profile-row", "3", measurement}), 0) << err.str();
  const auto lines = Lines(out.str());
  // The time profile, a blank line, the across profile.
  ASSERT_EQ(lines.size(), 1u + 4u + 1u + 1u + 3u);
  EXPECT_EQ(lines[0], "row,level");
  EXPECT_EQ(lines[5], "");
  EXPECT_EQ(lines[6], "microphone,level");
  for (int r = 1; r <= 4; ++r) {
    EXPECT_THAT(Fields(lines[r]), ElementsAre(float(r), grid[r - 1][1])) << lines[r];
  }
  for (int c = 1; c <= 3; ++c) {
    EXPECT_THAT(Fields(lines[6 + c]), ElementsAre(float(c), grid[2][c - 1])) << lines[6 + c];
  }
  // Either alone, and to a file instead of standard output.
  ASSERT_EQ(Run({"--profile-row", "3", "--profile-out", In("p.csv"), "--json", measurement}), 0)
      << err.str();
  EXPECT_EQ(Lines(ReadAll(In("p.csv"))), std::vector<std::string>(lines.begin() + 6, lines.end()));
  EXPECT_THAT(out.str(), testing::StartsWith("{\"kind\": \"MLS\""));
}

TEST_F(RenderProfilesTest, WithAReferenceLevelMinusReferenceIsTheDifferenceGrid) {
  const auto difference = GridRows({"--reference", reference, measurement});
  ASSERT_EQ(difference.size(), 2u);
  ASSERT_EQ(
      Run({"--reference", reference, "--profile-column", "2", "--profile-row", "1", measurement}),
      0)
      << err.str();
  const auto lines = Lines(out.str());
  ASSERT_EQ(lines.size(), 1u + 4u + 1u + 1u + 3u);
  EXPECT_EQ(lines[0], "row,level,reference_level");
  EXPECT_EQ(lines[6], "microphone,level,reference_level");
  for (int r = 1; r <= 2; ++r) {
    const auto f = Fields(lines[r]);
    ASSERT_EQ(f.size(), 3u);
    EXPECT_EQ(f[1] - f[2], difference[r - 1][1]) << lines[r];
  }
  EXPECT_THAT(lines[3], testing::EndsWith(","));  // rows the reference lacks
  for (int c = 1; c <= 2; ++c) {
    const auto f = Fields(lines[6 + c]);
    EXPECT_EQ(f[1] - f[2], difference[0][c - 1]) << lines[6 + c];
  }
  EXPECT_THAT(lines[9], testing::EndsWith(","));  // the microphone the reference lacks
}

TEST_F(RenderProfilesTest, TimeIsInMillisecondsForARecording) {
  const auto wav = folder.Write("t.wav", MonoWav16(8000, std::vector<std::int16_t>(32, 900)));
  ASSERT_EQ(Run({"--period", "16", "--profile-column", "1", wav}), 0) << err.str();
  // 8000 samples a second, 4 a row: half a millisecond a row, each at its start.
  EXPECT_THAT(Lines(out.str()),
              ElementsAre("time_ms,level", testing::StartsWith("0,"), testing::StartsWith("0.5,"),
                          testing::StartsWith("1,")));
}

TEST_F(RenderProfilesTest, AColumnOrRowOutsideTheMapIsRefusedAndNothingIsWritten) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> outside = {
      {{"--profile-column", "4"}, "--profile-column 4 lies beyond the 3 microphone positions of "},
      {{"--profile-column", "1", "--profile-row", "5"},
       "--profile-row 5 lies beyond the 4 time rows of "},
  };
  for (auto [arguments, message] : outside) {
    for (const std::string extra : {"--png", "--grid", "--profile-out"}) {
      std::vector<std::string> run = arguments;
      run.insert(run.end(),
                 {extra, In("x.csv" + std::string(extra == "--png" ? ".png" : "")), measurement});
      EXPECT_EQ(Run(run), 1) << message;
      EXPECT_EQ(err.str(), "mlsvexal-render: " + message + measurement + "\n");
      EXPECT_EQ(out.str(), "");
    }
  }
  // Wrong arguments, before anything is loaded.
  const std::vector<std::pair<std::vector<std::string>, std::string>> wrong = {
      {{"--profile-column", "0"}, "--profile-column needs a whole number of 1 or more, not \"0\""},
      {{"--profile-row", "x"}, "--profile-row needs a whole number of 1 or more, not \"x\""},
      {{"--profile-out", In("x.csv")}, "--profile-out goes with --profile-column or --profile-row"},
      {{"--profile-row", "1", "--json"}, "--json and the profiles would share standard output"},
      {{"--profile-row", "1", "--output-dir", In("d")},
       "--profile-column and --profile-row do not go with --output-dir"},
  };
  for (auto [arguments, message] : wrong) {
    arguments.push_back(measurement);
    EXPECT_EQ(Run(arguments), 2) << message;
    EXPECT_THAT(err.str(), testing::StartsWith("mlsvexal-render: " + message));
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 2);
}

}  // namespace

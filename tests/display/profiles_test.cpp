// Slices through a map: the time and across profiles, their units and reference levels, and the
// CSV that both the Profiles window and the renderer write.

#include "profiles.h"
#include "renderer_run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <sstream>

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace {

ViewState StateOf(LevelGrid grid, std::int32_t sampleRate = 0) {
  ViewState state;
  state.LevelGrid = std::move(grid);
  state.SampleRate = sampleRate;
  state.Decimation = 4;
  state.RangeDb = 100;
  return state;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(Profiles, ASingleLoudCellStandsOutInBothAndIsTheLoudestPoint) {
  const ViewState state =
      StateOf(GridOf(5, 3, [](int r, int c) { return r == 4 && c == 2 ? 10.0f : -5.0f; }));
  const Profile time = TimeProfile(state, 2);
  EXPECT_THAT(time.levels, ElementsAre(-5, -5, -5, 10, -5));
  EXPECT_EQ(LoudestPoint(time), 3u);
  EXPECT_THAT(TimeProfile(state, 1).levels, ElementsAre(-5, -5, -5, -5, -5));
  EXPECT_EQ(LoudestPoint(TimeProfile(state, 1)), 0u);  // the first of equals
  const Profile across = AcrossProfile(state, 4);
  EXPECT_EQ(across.positionName, "microphone");
  EXPECT_THAT(across.positions, ElementsAre(1, 2, 3));
  EXPECT_THAT(across.levels, ElementsAre(-5, 10, -5));
  EXPECT_TRUE(across.referenceLevels.empty());
  EXPECT_FALSE(across.withReference);

  // Outside the grid: empty, and no loudest point.
  for (const Profile& outside : {TimeProfile(state, 0), TimeProfile(state, 4),
                                 AcrossProfile(state, 0), AcrossProfile(state, 6)}) {
    EXPECT_TRUE(outside.levels.empty());
    EXPECT_TRUE(outside.positions.empty());
    EXPECT_EQ(LoudestPoint(outside), std::nullopt);
  }
}

TEST(Profiles, OfARampAreTheGridsColumnAndRow) {
  const ViewState state =
      StateOf(GridOf(6, 4, [](int r, int c) { return 0.1f * float(r) - 3.0f * float(c); }));
  for (int c = 1; c <= 4; ++c) {
    const Profile time = TimeProfile(state, c);
    EXPECT_THAT(time.levels, ElementsAreArray(state.LevelGrid.DataColumn(c)));
    EXPECT_EQ(LoudestPoint(time), 5u);
  }
  for (int r = 1; r <= 6; ++r) {
    const Profile across = AcrossProfile(state, r);
    ASSERT_EQ(across.levels.size(), 4u);
    for (int c = 1; c <= 4; ++c) EXPECT_EQ(across.levels[c - 1], state.LevelGrid.At(r, c));
  }
}

TEST(Profiles, TimeIsInMillisecondsWithASamplingRateElseInRows) {
  const LevelGrid grid = GridOf(24, 1, [](int r, int) { return float(r); });
  const Profile rows = TimeProfile(StateOf(grid), 1);
  EXPECT_EQ(rows.positionName, "row");
  EXPECT_EQ(rows.positions.front(), 1.0);
  EXPECT_EQ(rows.positions.back(), 24.0);
  EXPECT_THAT(Lines(ProfileCsv(rows)), testing::Contains("24,24"));

  // 48000 samples a second, 4 samples a row: 12 rows a millisecond, each at its start, as the
  // read-out and the time scale count; times with the decimals they need.
  const ViewState timed = StateOf(grid, 48000);
  ASSERT_TRUE(RowsHaveTime(timed));
  const Profile time = TimeProfile(timed, 1);
  EXPECT_EQ(time.positionName, "time_ms");
  EXPECT_EQ(time.positions[0], 0.0);
  EXPECT_EQ(time.positions[12], 1.0);
  for (int r = 1; r <= 24; ++r) EXPECT_EQ(time.positions[r - 1], RowMilliseconds(timed, r));
  EXPECT_EQ(Lines(ProfileCsv(time))[1], "0,1");
  EXPECT_EQ(Lines(ProfileCsv(time))[13], "1,13");
  EXPECT_EQ(Lines(ProfileCsv(time))[5], "0.3333,5");  // not 0.33333333333333331
  // The across profile counts microphones either way.
  EXPECT_EQ(AcrossProfile(timed, 1).positionName, "microphone");
  ViewState noDecimation = timed;
  noDecimation.Decimation = 0;
  EXPECT_FALSE(RowsHaveTime(noDecimation));
  EXPECT_EQ(TimeProfile(noDecimation, 1).positionName, "row");
}

TEST(Profiles, AReferenceGivesItsLevelsWhereItHasTheCells) {
  const ViewState state = StateOf(GridOf(4, 3, [](int r, int c) { return float(10 * c + r); }));
  const LevelGrid longer = GridOf(6, 2, [](int r, int c) { return float(-10 * c - r); });
  const LevelGrid shorter = GridOf(2, 5, [](int r, int c) { return float(100 * c + r); });

  // More rows than the measurement: only the measurement's rows.
  const Profile more = TimeProfile(state, 2, &longer);
  EXPECT_THAT(more.referenceLevels, ElementsAre(-21, -22, -23, -24));
  // Fewer rows: its own, and empty cells in the CSV below them.
  const Profile fewer = TimeProfile(state, 2, &shorter);
  EXPECT_THAT(fewer.referenceLevels, ElementsAre(201, 202));
  EXPECT_THAT(Lines(ProfileCsv(fewer)),
              ElementsAre("row,level,reference_level", "1,21,201", "2,22,202", "3,23,", "4,24,"));
  // A microphone the reference lacks: its column stays in the CSV, empty.
  const Profile lacking = TimeProfile(state, 3, &longer);
  EXPECT_TRUE(lacking.referenceLevels.empty());
  EXPECT_THAT(Lines(ProfileCsv(lacking)),
              ElementsAre("row,level,reference_level", "1,31,", "2,32,", "3,33,", "4,34,"));

  // Across: the common microphones, or none at a row the reference lacks.
  EXPECT_THAT(AcrossProfile(state, 3, &longer).referenceLevels, ElementsAre(-13, -23));
  EXPECT_THAT(AcrossProfile(state, 2, &shorter).referenceLevels, ElementsAre(102, 202, 302));
  EXPECT_THAT(Lines(ProfileCsv(AcrossProfile(state, 3, &shorter))),
              ElementsAre("microphone,level,reference_level", "1,13,", "2,23,", "3,33,"));
}

TEST(ProfileCsv, LevelsReadBackExactlyAsFloats) {
  const float awkward[] = {0.1f,
                           -1.0f / 3.0f,
                           123456.789f,
                           -1e-7f,
                           std::numeric_limits<float>::max(),
                           std::numeric_limits<float>::denorm_min(),
                           -0.0f,
                           1775.2734f};
  const std::size_t n = std::size(awkward);
  const ViewState state = StateOf(
      GridOf(static_cast<std::int32_t>(n), 1, [&](int r, int) { return awkward[r - 1]; }), 44100);
  const LevelGrid reference =
      GridOf(static_cast<std::int32_t>(n), 1, [&](int r, int) { return -awkward[n - r]; });
  const std::vector<std::string> lines = Lines(ProfileCsv(TimeProfile(state, 1, &reference)));
  ASSERT_EQ(lines.size(), n + 1);
  EXPECT_EQ(lines[0], "time_ms,level,reference_level");
  for (std::size_t i = 0; i < n; ++i) {
    SCOPED_TRACE(lines[i + 1]);
    const char* text = lines[i + 1].c_str();
    char* end = nullptr;
    // A row of 4 / 44100 s = 0.0907 ms: four decimals.
    EXPECT_NEAR(std::strtod(text, &end), RowMilliseconds(state, static_cast<std::int32_t>(i + 1)),
                0.5e-4);
    ASSERT_EQ(*end, ',');
    const float level = std::strtof(end + 1, &end);
    EXPECT_EQ(std::signbit(level), std::signbit(awkward[i]));
    EXPECT_EQ(level, awkward[i]);
    ASSERT_EQ(*end, ',');
    EXPECT_EQ(std::strtof(end + 1, &end), -awkward[n - 1 - i]);
    EXPECT_EQ(*end, '\0');
  }
}

}  // namespace

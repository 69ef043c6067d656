#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>

#include "float_steps.h"
#include "mls_file.h"
#include "recording_host.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

struct MlsReaderTest : ::testing::Test {
  Measurement Load(const std::vector<std::uint8_t>& bytes) {
    return LoadedMeasurement(folder.Write("scan.mls", bytes), host);
  }
  std::string LoadFailure(const std::vector<std::uint8_t>& bytes) {
    return LoadFailureMessage(folder.Write("scan.mls", bytes), host);
  }
  TempFolder folder;
  RecordingHost host;
};

TEST_F(MlsReaderTest, PointLevelsAreTwentyNaturalLogsOfTheSquaredMagnitude) {
  const Measurement s = Load(MlsBytes({{{3, 4}, {0.5f, 0}, {1, 0}, {0, 0}}}));
  EXPECT_EQ(s.grid.RowCount(), 4);
  EXPECT_EQ(s.grid.MicCount(), 1);
  EXPECT_FLOAT_EQ(s.grid.At(1, 1), 64.37752f);
  EXPECT_EQ(s.grid.At(1, 1), static_cast<float>(20.0 * std::log(25.0)));
  EXPECT_FLOAT_EQ(s.grid.At(2, 1), -27.725887f);
  EXPECT_EQ(s.grid.At(3, 1), 0.0f);
  EXPECT_EQ(s.grid.At(4, 1), 0.0f);  // silence has no floor: it stores 0
  EXPECT_EQ(s.grid.At(0, 1), 0.0f);
  EXPECT_EQ(s.grid.At(1, 0), 0.0f);
  EXPECT_FLOAT_EQ(s.peakLevel, 64.37752f);
  EXPECT_FALSE(s.sampleRate);
}

TEST_F(MlsReaderTest, ColumnsFollowTheFileOrderAndReportProgressPerColumn) {
  const Measurement s = Load(MlsBytes({{{1, 0}, {2, 0}}, {{0, 3}, {0, 4}}, {{5, 0}, {6, 0}}}));
  EXPECT_EQ(s.grid.MicCount(), 3);
  EXPECT_FLOAT_EQ(s.grid.At(2, 1), static_cast<float>(20 * std::log(4.0)));
  EXPECT_FLOAT_EQ(s.grid.At(1, 2), static_cast<float>(20 * std::log(9.0)));
  EXPECT_FLOAT_EQ(s.grid.At(2, 3), static_cast<float>(20 * std::log(36.0)));
  EXPECT_THAT(host.progress, ElementsAre(33.333332f, 66.666664f, 100.0f));
  EXPECT_EQ(host.yields, 3 + 1);  // one per column, one at the end of the load
  EXPECT_THAT(host.loadingChanges, ElementsAre(true, false));
}

TEST_F(MlsReaderTest, PointCountIsHalfTheHeaderNumberWithTiesToEven) {
  const std::vector<ComplexPoint> eight(8, {1, 1});
  EXPECT_EQ(Load(MlsBytes(7, 1, eight)).grid.RowCount(), 4);
  EXPECT_EQ(Load(MlsBytes(5, 1, eight)).grid.RowCount(), 2);
  EXPECT_EQ(Load(MlsBytes(6, 1, eight)).grid.RowCount(), 3);
  host.progress.clear();
  const Measurement none = Load(MlsBytes(1, 2, {}));
  EXPECT_EQ(none.grid.RowCount(), 0);
  EXPECT_EQ(none.grid.MicCount(), 2);
  EXPECT_THAT(host.progress, ElementsAre(50.0f, 100.0f));  // columns report even when empty
}

TEST_F(MlsReaderTest, NoMicrophonesReadsNothingAndNeverReportsProgress) {
  const Measurement s = Load(MlsBytes(8, 0, {}));
  EXPECT_EQ(s.grid.MicCount(), 0);
  EXPECT_EQ(s.grid.RowCount(), 4);
  EXPECT_TRUE(host.progress.empty());
  EXPECT_EQ(host.yields, 1);
}

TEST_F(MlsReaderTest, BytesAfterTheLastRunAreIgnored) {
  auto bytes = MlsBytes({{{3, 4}}});
  bytes.insert(bytes.end(), {1, 2, 3, 4, 5, 6, 7});
  EXPECT_FLOAT_EQ(Load(bytes).grid.At(1, 1), 64.37752f);
}

TEST_F(MlsReaderTest, SilentPointIsTheLoudestInAQuietFile) {
  const Measurement s = Load(MlsBytes({{{0.1f, 0}, {0, 0}, {0.2f, 0}}}));
  EXPECT_EQ(s.peakLevel, 0.0f);
  EXPECT_EQ(s.grid.At(2, 1), 0.0f);
  EXPECT_LT(s.grid.At(1, 1), 0.0f);
}

TEST_F(MlsReaderTest, ColumnsLongerThanOneReadKeepEveryPointAndThePeakOfTheFirstPart) {
  // 40000 points a microphone, more than the reader takes at a time; the file's loudest point is
  // the first of microphone 1, so a peak kept only from a column's last part loses it.
  constexpr std::int32_t kRows = 40000;
  auto point = [](std::int32_t t, std::int32_t m) {
    if (t == 1 && m == 1) return ComplexPoint{3000, 4000};
    return ComplexPoint{static_cast<float>(t) / 65536, static_cast<float>(m)};
  };
  std::vector<std::vector<ComplexPoint>> columns(2);
  for (std::int32_t m = 1; m <= 2; ++m) {
    for (std::int32_t t = 1; t <= kRows; ++t) columns[m - 1].push_back(point(t, m));
  }
  const Measurement s = Load(MlsBytes(columns));
  ASSERT_EQ(s.grid.RowCount(), kRows);
  // 20 ln(25 000 000), from the rule by hand.
  EXPECT_FLOAT_EQ(s.peakLevel, 340.68773f);
  EXPECT_EQ(s.peakLevel, MlsLevelByRule(point(1, 1)));
  // Vectorised logarithms may put a level one single-precision step from the rule's, rarely.
  std::int64_t offByOne = 0;
  for (std::int32_t m = 1; m <= 2; ++m) {
    for (std::int32_t t = 1; t <= kRows; ++t) {
      const std::int64_t steps = FloatSteps(s.grid.At(t, m), MlsLevelByRule(point(t, m)));
      ASSERT_LE(steps, 1) << "row " << t << ", microphone " << m;
      offByOne += steps;
    }
  }
  EXPECT_LE(offByOne, 2 * kRows / 10000) << offByOne;
}

TEST_F(MlsReaderTest, ShortFilesAndAbsurdHeadersFailAtOnceWithoutAllocating) {
  EXPECT_THAT(LoadFailure({1, 2, 3}), HasSubstr("shorter than its header says"));
  EXPECT_THAT(LoadFailure(MlsBytes(8, 2, {{1, 1}})), HasSubstr("shorter than its header says"));
  // Two billion microphones of a billion points: refused from the file size alone.
  EXPECT_THAT(LoadFailure(MlsBytes(std::numeric_limits<std::int32_t>::max(),
                                   std::numeric_limits<std::int32_t>::max(), {})),
              HasSubstr("shorter than its header says"));
  EXPECT_THAT(LoadFailure(MlsBytes(-4, 1, {})), HasSubstr("negative number of points"));
  EXPECT_THAT(LoadFailure(MlsBytes(4, -1, {})), HasSubstr("negative number of microphones"));
  EXPECT_TRUE(host.progress.empty());
}

TEST_F(MlsReaderTest, EmptyColumnsOfAHugeCountCostNoMemory) {
  // No points per microphone: the grid has no data cells whatever the count.
  const Measurement s = Load(MlsBytes(0, 100000, {}));
  EXPECT_EQ(s.grid.MicCount(), 100000);
  EXPECT_EQ(s.grid.RowCount(), 0);
  // Nor do they cost a report each: at most one per whole percentage.
  EXPECT_LE(host.progress.size(), 101u);
  EXPECT_LE(host.yields, 101 + 1);  // and the frame's own
  ASSERT_FALSE(host.progress.empty());
  EXPECT_EQ(host.progress.back(), 100.0f);
}

TEST_F(MlsReaderTest, MagnitudesBeyondSinglePrecisionFailTheLoad) {
  const float big = 1e20f;  // squared: 1e40, beyond float
  EXPECT_THAT(LoadFailure(MlsBytes({{{1, 0}, {big, 0}}})), HasSubstr("point 2 of microphone 1"));
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_THAT(LoadFailure(MlsBytes({{{nan, 0}}})), HasSubstr("not a finite number"));
}

TEST_F(MlsReaderTest, MissingFileIsAFaultAndIsNotCreated) {
  const std::string name = (folder.Path() / "absent.mls").string();
  EXPECT_THAT(LoadFailureMessage(name, host), HasSubstr("does not exist"));
  EXPECT_FALSE(std::filesystem::exists(name));
  EXPECT_THAT(host.loadingChanges, ElementsAre(true, false));
}

TEST_F(MlsReaderTest, MillionsOfEmptyColumnsReportOnlyWholePercentSteps) {
  // Every column reports while the percentage moves by whole steps; beyond 100 empty columns the
  // load would otherwise spend its time in the event loop.
  const Measurement s = Load(MlsBytes(1, 3000000, {}));
  EXPECT_EQ(s.grid.MicCount(), 3000000);
  ASSERT_EQ(host.progress.size(), 101u);  // whole percentages 0 to 100
  EXPECT_LT(host.progress.front(), 1.0f);
  EXPECT_EQ(host.progress[50], 50.0f);
  EXPECT_EQ(host.progress.back(), 100.0f);
  EXPECT_EQ(host.yields, 101 + 1);
}

}  // namespace

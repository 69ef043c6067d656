// Complex-spectrum files large enough to be read by worker threads, with columns longer than one
// read: the levels of the format's rule, the same order of progress and yields, the same failures
// as a load one column at a time, and a window closed mid-load leaves no worker behind.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "float_steps.h"
#include "load_measurement.h"
#include "mls_file.h"
#include "recording_host.h"

using ::testing::ElementsAreArray;
using ::testing::HasSubstr;

namespace {

constexpr std::int32_t kMics = 12;
// More points than one read takes, and odd, so that every column ends in a partial vector.
constexpr std::int32_t kRows = 40961;
constexpr std::int32_t kLoudestMic = 7;  // its first point is the file's loudest

struct WindowClosed {};

struct MlsWorkerLoadTest : ::testing::Test {
  // Points of every order of magnitude, with silent ones among them.
  static std::vector<ComplexPoint> Points() {
    std::vector<ComplexPoint> points(static_cast<std::size_t>(kMics) * kRows);
    std::uint32_t state = 12345;
    for (std::size_t i = 0; i < points.size(); ++i) {
      state = state * 1664525u + 1013904223u;
      const float scale = std::ldexp(1.0f, static_cast<int>(state >> 26) - 40);
      points[i] = {scale * static_cast<float>(state & 0xffff), i % 5 == 0 ? 0.0f : scale};
    }
    points[(kLoudestMic - 1) * kRows] = {3e15f, 4e15f};
    return points;
  }
  std::string Write(const std::vector<ComplexPoint>& points) {
    return folder.Write("big.mls", MlsBytes(2 * kRows, kMics, points));
  }

  TempFolder folder;
  RecordingHost host;
};

TEST_F(MlsWorkerLoadTest, LevelsPeakAndReportsFollowTheRule) {
  const std::vector<ComplexPoint> points = Points();
  const std::string path = Write(points);
  const Measurement s = LoadedMeasurement(path, host);
  ASSERT_EQ(s.grid.MicCount(), kMics);
  ASSERT_EQ(s.grid.RowCount(), kRows);
  // Vectorised logarithms may put a level one single-precision step from the rule's, rarely.
  std::int64_t offByOne = 0;
  for (std::int32_t m = 1; m <= kMics; ++m) {
    for (std::int32_t t = 1; t <= kRows; ++t) {
      const ComplexPoint& p = points[static_cast<std::size_t>((m - 1) * kRows + (t - 1))];
      const float expected = MlsLevelByRule(p);
      const std::int64_t steps = FloatSteps(s.grid.At(t, m), expected);
      ASSERT_LE(steps, 1) << "row " << t << ", microphone " << m << ": " << s.grid.At(t, m)
                          << " for " << expected;
      offByOne += steps;
      if (expected == 0.0f) {
        ASSERT_EQ(s.grid.At(t, m), 0.0f);
      }
    }
  }
  EXPECT_LE(offByOne, kMics * kRows / 10000) << offByOne;
  // 20 ln(2.5e31), worked out by hand.
  EXPECT_FLOAT_EQ(s.peakLevel, 1445.9286f);
  EXPECT_EQ(s.peakLevel, s.grid.At(1, kLoudestMic));
  std::vector<float> progress;
  for (std::int32_t m = 1; m <= kMics; ++m) {
    progress.push_back(static_cast<float>(100.0 * m / kMics));
  }
  EXPECT_THAT(host.progress, ElementsAreArray(progress));
  EXPECT_EQ(host.yields, kMics + 1);
  // A louder peak from before the load stays.
  EXPECT_EQ(LoadedMeasurement(path, host, 1e6f).peakLevel, 1e6f);
}

TEST_F(MlsWorkerLoadTest, TheFirstPointWithoutALevelInFileOrderFailsTheLoadAtItsColumn) {
  std::vector<ComplexPoint> points = Points();
  points[8 * kRows + 4999] = {std::numeric_limits<float>::quiet_NaN(), 0.0f};  // microphone 9
  points[8 * kRows + 9000] = {1e30f, 0.0f};
  points[10 * kRows + 2] = {std::numeric_limits<float>::infinity(), 0.0f};  // microphone 11
  EXPECT_THAT(LoadFailureMessage(Write(points), host),
              HasSubstr("point 5000 of microphone 9 has a squared magnitude that is not a finite "
                        "number"));
  // Columns 1 to 8 were reported as they would be one at a time; nothing after them.
  EXPECT_EQ(host.progress.size(), 8u);
  EXPECT_EQ(host.yields, 8);
  EXPECT_THAT(host.loadingChanges, ::testing::ElementsAre(true, false));
}

TEST_F(MlsWorkerLoadTest, AWindowClosedMidLoadStopsTheWorkersAndTheNextLoadRuns) {
  const std::string path = Write(Points());
  for (const int closeAt : {1, 2, kMics - 1}) {
    host = RecordingHost{};
    host.onYield = [closeAt](int yields) {
      if (yields == closeAt) throw WindowClosed{};
    };
    EXPECT_THROW(LoadMeasurement(path, 0.0f, kTestDecimation, host), WindowClosed);
    EXPECT_EQ(host.yields, closeAt);
    EXPECT_EQ(host.progress.size(), static_cast<std::size_t>(closeAt));
    EXPECT_FALSE(host.loading);
  }
  host = RecordingHost{};
  EXPECT_EQ(LoadedMeasurement(path, host).grid.MicCount(), kMics);
}

}  // namespace

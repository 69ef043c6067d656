#include "row_scale.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

struct TimeScaleCase {
  const char* what;
  std::int32_t rows;
  double rowsPerMs;  // 0: no sampling rate
  double pixelsPerRow;
  const char* unit;
  std::vector<std::string> labels;  // worked out by hand
  double from = 0.0;                // only the ticks from..to rows
  double to = 1e300;
};

std::vector<std::string> Range(int first, int last, int step) {
  std::vector<std::string> labels;
  for (int v = first; v <= last; v += step) labels.push_back(std::to_string(v));
  return labels;
}

// 60606 samples a second in slices of 4 are 15.1515 rows a millisecond: 400 rows end at 26.4 ms.
constexpr double kPcmRowsPerMs = 60.606 / 4;

const TimeScaleCase kCases[] = {
    {"designed ticks at 1:1, none past the data",
     400,
     kPcmRowsPerMs,
     1,
     "ms",
     {"0", "5", "10", "15", "20", "25"}},
    {"zoom 4: 1 ms is 60.6 px, 0.5 ms too close", 400, kPcmRowsPerMs, 4, "ms", Range(0, 26, 1)},
    {"zoom 1:8: 20 ms is 37.9 px, 50 ms the step", 400, kPcmRowsPerMs, 1.0 / 8, "ms", {"0"}},
    {"a tick on the data's very end", 500, 12.5, 1, "ms", Range(0, 40, 5)},
    {"a low rate at 1:1: 5 ms only 10 px apart", 400, 2, 1, "ms", Range(0, 200, 50)},
    {"tenths of a millisecond at zoom 32",
     100,
     12.5,
     32,
     "ms",
     {"0.0", "0.2", "0.4", "0.6", "0.8", "1.0", "1.2", "1.4", "1.6", "1.8", "2.0",
      "2.2", "2.4", "2.6", "2.8", "3.0", "3.2", "3.4", "3.6", "3.8", "4.0", "4.2",
      "4.4", "4.6", "4.8", "5.0", "5.2", "5.4", "5.6", "5.8", "6.0", "6.2", "6.4",
      "6.6", "6.8", "7.0", "7.2", "7.4", "7.6", "7.8", "8.0"}},
    {"tens of ms for a long file at 1:8", 24000, 48, 1.0 / 8, "ms", Range(0, 500, 10)},
    {"rows at 1:1: every 50th and row 1",
     512,
     0,
     1,
     "row",
     {"1", "50", "100", "150", "200", "250", "300", "350", "400", "450", "500"}},
    {"seven rows at zoom 16: every 5th", 7, 0, 16, "row", {"1", "5"}},
    {"seven rows at zoom 32: every 2nd", 7, 0, 32, "row", {"1", "2", "4", "6"}},
    {"every row of three at zoom 64", 3, 0, 64, "row", {"1", "2", "3"}},
    {"a tall map at 1:2048: only row 1", 131072, 0, 1.0 / 2048, "row", {"1"}},
    {"rows at 1:2: every 100th",
     1000,
     0,
     0.5,
     "row",
     {"1", "100", "200", "300", "400", "500", "600", "700", "800", "900", "1000"}},
    {"no rows", 0, kPcmRowsPerMs, 1, "ms", {}},
    {"rows on screen only", 512, 0, 1, "row", {"150", "200", "250", "300"}, 100, 300},
    {"ms on screen only: 6.6 to 13.2 ms", 400, kPcmRowsPerMs, 4, "ms", Range(7, 13, 1), 100, 200},
};

TEST(TimeScale, TicksForRowsRateAndZoom) {
  for (const TimeScaleCase& c : kCases) {
    SCOPED_TRACE(c.what);
    const TimeScale scale = TimeTicks(c.rows, c.rowsPerMs, c.pixelsPerRow, c.from, c.to);
    EXPECT_EQ(scale.unit.toStdString(), c.unit);
    std::vector<std::string> labels;
    for (const TimeTick& tick : scale.ticks) {
      labels.push_back(tick.label.toStdString());
      // A time sits at its rows below the top edge, a row in its middle; none past the end.
      const double at =
          c.rowsPerMs > 0 ? tick.label.toDouble() * c.rowsPerMs : tick.label.toDouble() - 0.5;
      EXPECT_NEAR(tick.offsetRows, at, 1e-9) << tick.label.toStdString();
      EXPECT_LE(tick.offsetRows, c.rows + 1e-9);
    }
    EXPECT_EQ(labels, c.labels);
  }
}

TEST(TimeScale, DistanceDecimalsGiveTheStepThreeDigits) {
  // 5 ms is 1.715 m, 1 ms 0.343 m, 50 ms 17.15 m, 0.2 ms 0.0686 m.
  for (const auto& [rowsPerMs, pixels, decimals] :
       {std::tuple{kPcmRowsPerMs, 1.0, 2}, std::tuple{kPcmRowsPerMs, 4.0, 3},
        std::tuple{48.0, 1.0 / 32, 1}, std::tuple{12.5, 32.0, 4}}) {
    EXPECT_EQ(DistanceDecimals(TimeTicks(24000, rowsPerMs, pixels)), decimals) << pixels;
  }
}

TEST(TimeScale, TheWidestLabelsOfAHugeMapWithoutListingItsTicks) {
  // Every 50th of 2^31 - 1 rows at 1:1: row 1 and the last multiple, 2147483600.
  const TimeScale scale = WidestTimeTicks(2147483647, 0, 1);
  ASSERT_LE(scale.ticks.size(), 5u);
  EXPECT_EQ(scale.ticks.front().label, "1");
  EXPECT_EQ(scale.ticks.back().label, "2147483600");
}

}  // namespace

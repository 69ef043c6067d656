#include "row_scale.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace {

std::vector<int> RowsOf(const std::vector<RowTick>& ticks) {
  std::vector<int> rows;
  for (const RowTick& t : ticks) {
    EXPECT_EQ(t.offset, t.row - 1);
    EXPECT_EQ(t.label, QString::number(t.row));
    rows.push_back(t.row);
  }
  return rows;
}

TEST(RowScale, StepIsTheSmallestRoundStepWithAtMostTenSteps) {
  EXPECT_EQ(RowTickStep(1), 1);
  EXPECT_EQ(RowTickStep(7), 1);
  EXPECT_EQ(RowTickStep(10), 1);
  EXPECT_EQ(RowTickStep(11), 2);
  EXPECT_EQ(RowTickStep(20), 2);
  EXPECT_EQ(RowTickStep(21), 5);
  EXPECT_EQ(RowTickStep(50), 5);
  EXPECT_EQ(RowTickStep(51), 10);
  EXPECT_EQ(RowTickStep(512), 100);  // 512 / 50 = 10.24 > 10
  EXPECT_EQ(RowTickStep(1000), 100);
  EXPECT_EQ(RowTickStep(131072), 20000);  // 131072 / 10000 = 13.1 > 10
  EXPECT_EQ(RowTickStep(std::numeric_limits<std::int32_t>::max()), 500000000);
  EXPECT_EQ(RowTickStep(0), 1);
  EXPECT_EQ(RowTickStep(-3), 1);
}

TEST(RowScale, OneRowHasASingleTick) {
  const std::vector<RowTick> ticks = RowTicks(1);
  ASSERT_EQ(ticks.size(), 1u);
  EXPECT_EQ(ticks[0].offset, 0);
  EXPECT_EQ(ticks[0].row, 1);
  EXPECT_EQ(ticks[0].label, QStringLiteral("1"));
}

TEST(RowScale, SevenRowsTickEveryRow) {
  EXPECT_EQ(RowsOf(RowTicks(7)), (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
}

TEST(RowScale, HundredsForHalfAThousandRows) {
  EXPECT_EQ(RowsOf(RowTicks(512)), (std::vector<int>{1, 100, 200, 300, 400, 500}));
  EXPECT_EQ(RowTicks(512)[1].offset, 99);
  EXPECT_EQ(RowTicks(512)[1].label, QStringLiteral("100"));
}

TEST(RowScale, TwentyThousandsForTheTallestMaps) {
  EXPECT_EQ(RowsOf(RowTicks(131072)),
            (std::vector<int>{1, 20000, 40000, 60000, 80000, 100000, 120000}));
}

TEST(RowScale, AtMostElevenTicksAndTheLastRowIncluded) {
  EXPECT_EQ(RowsOf(RowTicks(100)), (std::vector<int>{1, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100}));
  EXPECT_EQ(RowsOf(RowTicks(11)), (std::vector<int>{1, 2, 4, 6, 8, 10}));
  for (std::int32_t rows = 1; rows <= 5000; ++rows) {
    const std::vector<RowTick> ticks = RowTicks(rows);
    ASSERT_LE(ticks.size(), 11u) << rows;
    ASSERT_GE(ticks.size(), std::min<std::size_t>(static_cast<std::size_t>(rows), 5u)) << rows;
    ASSERT_LE(ticks.back().row, rows);
    for (std::size_t i = 1; i < ticks.size(); ++i) ASSERT_GT(ticks[i].row, ticks[i - 1].row);
  }
  const std::vector<RowTick> huge = RowTicks(std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(RowsOf(huge), (std::vector<int>{1, 500000000, 1000000000, 1500000000, 2000000000}));
}

TEST(RowScale, NoTicksWithoutRows) {
  EXPECT_TRUE(RowTicks(0).empty());
  EXPECT_TRUE(RowTicks(-1).empty());
}

}  // namespace

// The decision between the layout's own sizes and a capped window in which the picture scrolls.

#include <gtest/gtest.h>

#include "map_fit.h"

namespace {
constexpr int kBar = 15;

void ExpectLayoutSizes(const MapFit& fit, const MapLayout& layout) {
  EXPECT_FALSE(fit.scrollsX);
  EXPECT_FALSE(fit.scrollsY);
  EXPECT_EQ(fit.clientWidth, layout.clientWidth);
  EXPECT_EQ(fit.clientHeight, layout.clientHeight);
  EXPECT_EQ(fit.pictureWidth, layout.pictureOuterWidth);
  EXPECT_EQ(fit.pictureHeight, layout.pictureOuterHeight);
}
}  // namespace

TEST(MapFit, MapsThatFitKeepTheLayoutSizesUpToTheLastPixel) {
  ExpectLayoutSizes(FitMap(ComputeMapLayout(100, 50), 800, 600, kBar), ComputeMapLayout(100, 50));
  // 765 + 35 = 800 wide and 506 + 90 = 596 high: exactly the free area still fits.
  const MapLayout edge = ComputeMapLayout(761, 502);
  ASSERT_EQ(edge.clientWidth, 800);
  ExpectLayoutSizes(FitMap(edge, 800, 596, kBar), edge);
  ExpectLayoutSizes(FitMap(ComputeMapLayout(0, 0), 800, 600, kBar), ComputeMapLayout(0, 0));
}

TEST(MapFit, TallMapScrollsDownwardsInAWindowCappedAtTheScreenHeight) {
  const MapLayout tall = ComputeMapLayout(64, 32768);
  const MapFit fit = FitMap(tall, 800, 600, kBar);
  EXPECT_TRUE(fit.scrollsY);
  EXPECT_FALSE(fit.scrollsX);
  EXPECT_EQ(fit.clientHeight, 600);
  EXPECT_EQ(fit.pictureHeight, 600 - 90);
  EXPECT_EQ(fit.clientWidth, tall.clientWidth + kBar);  // the bar beside the scale
  EXPECT_EQ(fit.pictureWidth, tall.pictureOuterWidth);
  EXPECT_EQ(ScrollRange(32768, fit.pictureHeight), 32768 - (600 - 90 - 4));

  // One pixel too many, and the vertical bar makes the width too large as well.
  const MapLayout nearlyWide = ComputeMapLayout(761, 600);
  const MapFit both = FitMap(nearlyWide, 800, 600, kBar);
  EXPECT_TRUE(both.scrollsY);
  EXPECT_TRUE(both.scrollsX);
  EXPECT_EQ(both.clientWidth, 800);
  EXPECT_EQ(both.pictureWidth, 800 - 35 - kBar);
}

TEST(MapFit, WideMapScrollsSidewaysAndKeepsItsHeight) {
  const MapLayout wide = ComputeMapLayout(4000, 400);
  const MapFit fit = FitMap(wide, 800, 600, kBar);
  EXPECT_TRUE(fit.scrollsX);
  EXPECT_FALSE(fit.scrollsY);
  EXPECT_EQ(fit.clientWidth, 800);
  EXPECT_EQ(fit.pictureWidth, 800 - 35);
  EXPECT_EQ(fit.clientHeight, wide.clientHeight);
  EXPECT_EQ(fit.pictureHeight, wide.pictureOuterHeight);
  EXPECT_EQ(ScrollRange(4000, fit.pictureWidth), 4000 - (800 - 35 - 4));
}

TEST(MapFit, ScrollRangeIsZeroWhenEverythingShowsAndTinyScreensKeepAPixel) {
  EXPECT_EQ(ScrollRange(100, 104), 0);
  EXPECT_EQ(ScrollRange(100, 200), 0);
  EXPECT_EQ(ScrollRange(100, 0), 100);
  const MapFit tiny = FitMap(ComputeMapLayout(500, 500), 20, 20, kBar);
  EXPECT_EQ(tiny.pictureWidth, 5);
  EXPECT_EQ(tiny.pictureHeight, 5);
}

// The decision between the layout's own sizes and a capped window in which the picture scrolls.

#include <gtest/gtest.h>

#include "map_fit.h"

namespace {
constexpr int kBar = 15;

WindowLayout Layout(std::int32_t micCount, std::int32_t rowCount) {
  return ComputeWindowLayout(ComputeMapGeometry(micCount, rowCount));
}

void ExpectLayoutSizes(const MapFit& fit, const WindowLayout& layout) {
  EXPECT_FALSE(fit.scrollsX);
  EXPECT_FALSE(fit.scrollsY);
  EXPECT_EQ(fit.clientWidth, layout.clientWidth);
  EXPECT_EQ(fit.clientHeight, layout.clientHeight);
  EXPECT_EQ(fit.pictureWidth, layout.pictureOuterWidth);
  EXPECT_EQ(fit.pictureHeight, layout.pictureOuterHeight);
}
}  // namespace

TEST(WindowLayout, FollowsTheMapWithRoomForTheScaleAndButtons) {
  const WindowLayout l = Layout(100, 50);
  EXPECT_EQ(l.pictureOuterWidth, 104);
  EXPECT_EQ(l.pictureOuterHeight, 54);
  EXPECT_EQ(l.clientWidth, 205);  // never narrower than both buttons
  EXPECT_EQ(l.clientHeight, 144);
  EXPECT_EQ(l.textWidth, 129);
  EXPECT_EQ(Layout(300, 50).clientWidth, 339);
  EXPECT_EQ(Layout(300, 50).clientHeight, 144);
  EXPECT_EQ(Layout(8, 50).clientWidth, design::kMinClientWidth);
  EXPECT_THROW(Layout(16777215 - 10, 1), DrawError);  // the window, not the picture, is too wide
  EXPECT_THROW(Layout(1, 16777215 - 10), DrawError);
}

TEST(MapFit, MapsThatFitKeepTheLayoutSizesUpToTheLastPixel) {
  ExpectLayoutSizes(FitMap(Layout(100, 50), 800, 600, kBar), Layout(100, 50));
  // 765 + kScaleRoom = 800 wide and 506 + kRoomAroundPicture = 596 high: exactly the free area
  // still fits.
  const WindowLayout edge = Layout(761, 502);
  ASSERT_EQ(edge.clientWidth, 800);
  ExpectLayoutSizes(FitMap(edge, 800, 596, kBar), edge);
  ExpectLayoutSizes(FitMap(Layout(0, 0), 800, 600, kBar), Layout(0, 0));
}

TEST(MapFit, TallMapScrollsDownwardsInAWindowCappedAtTheScreenHeight) {
  const WindowLayout tall = Layout(64, 32768);
  const MapFit fit = FitMap(tall, 800, 600, kBar);
  EXPECT_TRUE(fit.scrollsY);
  EXPECT_FALSE(fit.scrollsX);
  EXPECT_EQ(fit.clientHeight, 600);
  EXPECT_EQ(fit.pictureHeight, 600 - kRoomAroundPicture);
  EXPECT_EQ(fit.clientWidth, tall.clientWidth + kBar);  // the bar beside the scale
  EXPECT_EQ(fit.pictureWidth, tall.pictureOuterWidth);
  EXPECT_EQ(ScrollRange(32768, fit.pictureHeight), 32768 - (600 - kRoomAroundPicture - 4));

  // One pixel too many, and the vertical bar makes the width too large as well.
  const WindowLayout nearlyWide = Layout(761, 600);
  const MapFit both = FitMap(nearlyWide, 800, 600, kBar);
  EXPECT_TRUE(both.scrollsY);
  EXPECT_TRUE(both.scrollsX);
  EXPECT_EQ(both.clientWidth, 800);
  EXPECT_EQ(both.pictureWidth, 800 - kScaleRoom - kBar);
}

TEST(MapFit, WideMapScrollsSidewaysAndKeepsItsHeight) {
  const WindowLayout wide = Layout(4000, 400);
  const MapFit fit = FitMap(wide, 800, 600, kBar);
  EXPECT_TRUE(fit.scrollsX);
  EXPECT_FALSE(fit.scrollsY);
  EXPECT_EQ(fit.clientWidth, 800);
  EXPECT_EQ(fit.pictureWidth, 800 - kScaleRoom);
  EXPECT_EQ(fit.clientHeight, wide.clientHeight);
  EXPECT_EQ(fit.pictureHeight, wide.pictureOuterHeight);
  EXPECT_EQ(ScrollRange(4000, fit.pictureWidth), 4000 - (800 - kScaleRoom - 4));
}

TEST(MapFit, ScrollRangeIsZeroWhenEverythingShowsAndTinyScreensKeepAPixel) {
  EXPECT_EQ(ScrollRange(100, 104), 0);
  EXPECT_EQ(ScrollRange(100, 200), 0);
  EXPECT_EQ(ScrollRange(100, 0), 100);
  const MapFit tiny = FitMap(Layout(500, 500), 20, 20, kBar);
  EXPECT_EQ(tiny.pictureWidth, 5);
  EXPECT_EQ(tiny.pictureHeight, 5);
}

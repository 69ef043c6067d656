#include "zoom.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <vector>

namespace {

TEST(Zoom, InStepsThroughTheFactorsAndStopsAt32) {
  std::vector<int> seen;
  Zoom z{};
  for (int i = 0; i < 11; ++i) {
    z = ZoomIn(z);
    EXPECT_EQ(z.out, 1);
    seen.push_back(z.in);
  }
  EXPECT_EQ(seen, (std::vector<int>{2, 3, 4, 6, 8, 12, 16, 24, 32, 32, 32}));
  EXPECT_EQ(ZoomIn(Zoom{5, 1}), (Zoom{6, 1}));  // between two factors: the upper one
}

TEST(Zoom, OutStepsDownTheFactorsThenThroughEveryDivisor) {
  std::vector<Zoom> seen;
  Zoom z{32, 1};
  for (int i = 0; i < 14; ++i) {
    z = ZoomOut(z, 5);
    seen.push_back(z);
  }
  const std::vector<Zoom> expected{{24, 1}, {16, 1}, {12, 1}, {8, 1}, {6, 1}, {4, 1}, {3, 1},
                                   {2, 1},  {1, 1},  {1, 2},  {1, 3}, {1, 4}, {1, 5}, {1, 5}};
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(ZoomOut(Zoom{5, 1}, 10), (Zoom{4, 1}));
  EXPECT_EQ(ZoomOut(Zoom{}, 1), (Zoom{}));
  EXPECT_EQ(ZoomOut(Zoom{}, 0), (Zoom{}));
  EXPECT_EQ(ZoomOut(Zoom{1, 500}, 219), (Zoom{1, 219}));  // past the limit: back to it
}

TEST(Zoom, InFromBelowOneStepsThroughEveryDivisorToOne) {
  EXPECT_EQ(ZoomIn(Zoom{1, 219}), (Zoom{1, 218}));
  EXPECT_EQ(ZoomIn(Zoom{1, 3}), (Zoom{1, 2}));
  EXPECT_EQ(ZoomIn(Zoom{1, 2}), (Zoom{}));
  for (int out = 2; out < 50; ++out) {
    EXPECT_EQ(ZoomOut(ZoomIn(Zoom{1, out}), 1000), (Zoom{1, out}));
  }
}

TEST(Zoom, MaxOutMakesTheMapOnePixel) {
  EXPECT_EQ(MaxZoomOut(64, 131072), 131072);
  EXPECT_EQ(MaxZoomOut(300, 7), 300);
  EXPECT_EQ(MaxZoomOut(0, 0), 1);
  EXPECT_EQ(MapPixelSize(Zoom{1, MaxZoomOut(64, 131072)}, 64, 131072), QSize(1, 1));
  EXPECT_EQ(MapPixelSize(Zoom{1, MaxZoomOut(64, 131072) - 1}, 64, 131072), QSize(1, 2));
}

TEST(Zoom, TextIsAPercentUpwardAndARatioDownward) {
  EXPECT_EQ(ZoomText(Zoom{}), QStringLiteral("100%"));
  EXPECT_EQ(ZoomText(Zoom{2, 1}), QStringLiteral("200%"));
  EXPECT_EQ(ZoomText(Zoom{32, 1}), QStringLiteral("3200%"));
  EXPECT_EQ(ZoomText(Zoom{1, 2}), QStringLiteral("1:2"));
  EXPECT_EQ(ZoomText(Zoom{1, 219}), QStringLiteral("1:219"));
  EXPECT_DOUBLE_EQ(ZoomScale(Zoom{3, 1}), 3.0);
  EXPECT_DOUBLE_EQ(ZoomScale(Zoom{1, 4}), 0.25);
  EXPECT_DOUBLE_EQ(ZoomScale(Zoom{}), 1.0);
}

TEST(Zoom, MapPixelSizeMultipliesUpwardAndRoundsUpDownward) {
  EXPECT_EQ(MapPixelSize(Zoom{}, 64, 100), QSize(64, 100));
  EXPECT_EQ(MapPixelSize(Zoom{4, 1}, 64, 100), QSize(256, 400));
  EXPECT_EQ(MapPixelSize(Zoom{1, 3}, 64, 100), QSize(22, 34));
  EXPECT_EQ(MapPixelSize(Zoom{1, 4}, 64, 100), QSize(16, 25));
  EXPECT_EQ(MapPixelSize(Zoom{1, 219}, 64, 131072), QSize(1, 599));
  EXPECT_EQ(MapPixelSize(Zoom{2, 1}, 0, -5), QSize(0, 0));
  const int big = std::numeric_limits<std::int32_t>::max();
  EXPECT_EQ(MapPixelSize(Zoom{32, 1}, 1, big), QSize(32, big));  // limited to the largest int
}

TEST(Zoom, CellToPixelRect) {
  EXPECT_EQ(PixelRectOfCell(Zoom{}, QPoint(2, 5)), QRect(2, 5, 1, 1));
  EXPECT_EQ(PixelRectOfCell(Zoom{3, 1}, QPoint(2, 5)), QRect(6, 15, 3, 3));
  EXPECT_EQ(PixelRectOfCell(Zoom{1, 4}, QPoint(9, 3)), QRect(2, 0, 1, 1));
  EXPECT_EQ(PixelRectOfCells(Zoom{1, 4}, QRect(3, 3, 6, 1)), QRect(0, 0, 3, 1));
  EXPECT_EQ(PixelRectOfCells(Zoom{2, 1}, QRect(1, 2, 3, 4)), QRect(2, 4, 6, 8));
  EXPECT_TRUE(PixelRectOfCells(Zoom{2, 1}, QRect()).isEmpty());
}

TEST(Zoom, PixelToCell) {
  EXPECT_EQ(CellAtPixel(Zoom{3, 1}, QPoint(7, 17)), QPoint(2, 5));
  EXPECT_EQ(CellAtPixel(Zoom{3, 1}, QPoint(6, 15)), QPoint(2, 5));
  EXPECT_EQ(CellAtPixel(Zoom{3, 1}, QPoint(5, 14)), QPoint(1, 4));
  EXPECT_EQ(CellAtPixel(Zoom{2, 1}, QPoint(-1, -2)), QPoint(-1, -1));
  EXPECT_EQ(CellsOfPixel(Zoom{1, 4}, QPoint(2, 0)), QRect(8, 0, 4, 4));
  EXPECT_EQ(CellAtPixel(Zoom{1, 4}, QPoint(2, 1)), QPoint(8, 4));
  EXPECT_EQ(CellsOfPixels(Zoom{4, 1}, QRect(3, 4, 6, 1)), QRect(0, 1, 3, 1));
  EXPECT_EQ(CellsOfPixels(Zoom{1, 3}, QRect(1, 2, 2, 3)), QRect(3, 6, 6, 9));
}

TEST(Zoom, EveryPixelOfACellMapsBackToIt) {
  for (const Zoom zoom : {Zoom{}, Zoom{2, 1}, Zoom{3, 1}, Zoom{32, 1}}) {
    for (const QPoint cell : {QPoint(0, 0), QPoint(5, 9), QPoint(63, 131071)}) {
      const QRect pixels = PixelRectOfCell(zoom, cell);
      EXPECT_EQ(CellsOfPixels(zoom, pixels), QRect(cell, QSize(1, 1)));
      for (int y = pixels.top(); y <= pixels.bottom(); ++y) {
        for (int x = pixels.left(); x <= pixels.right(); ++x) {
          ASSERT_EQ(CellAtPixel(zoom, QPoint(x, y)), cell);
        }
      }
    }
  }
  for (const int out : {2, 3, 7, 219}) {
    for (const QPoint cell : {QPoint(0, 0), QPoint(5, 9), QPoint(63, 131071)}) {
      const QRect pixel = PixelRectOfCell(Zoom{1, out}, cell);
      ASSERT_EQ(pixel.size(), QSize(1, 1));
      EXPECT_TRUE(CellsOfPixels(Zoom{1, out}, pixel).contains(cell));
    }
  }
}

TEST(Zoom, FitTakesTheLargestZoomThatShowsTheWholeMap) {
  // 131072 rows in 600 pixels: ceil(131072 / 218) = 602 > 600, ceil(131072 / 219) = 599 <= 600.
  EXPECT_EQ(FitZoom(64, 131072, QSize(800, 600)), (Zoom{1, 219}));
  // 64 x 400: 64 x 12 <= 800 but 400 x 2 > 600.
  EXPECT_EQ(FitZoom(64, 400, QSize(800, 600)), (Zoom{}));
  // 64 x 32: 12 fits both (768 x 384), 16 is too wide.
  EXPECT_EQ(FitZoom(64, 32, QSize(800, 600)), (Zoom{12, 1}));
  // 5 would fit exactly but is no factor: 4.
  EXPECT_EQ(FitZoom(20, 10, QSize(100, 100)), (Zoom{4, 1}));
  EXPECT_EQ(FitZoom(10, 10, QSize(800, 600)), (Zoom{32, 1}));
  // Too wide: 1000 in 800 needs 1:2.
  EXPECT_EQ(FitZoom(1000, 400, QSize(800, 600)), (Zoom{1, 2}));
  // Exactly twice the height: 1:2; one row more: 1:3.
  EXPECT_EQ(FitZoom(64, 1200, QSize(800, 600)), (Zoom{1, 2}));
  EXPECT_EQ(FitZoom(64, 1201, QSize(800, 600)), (Zoom{1, 3}));
  EXPECT_EQ(FitZoom(64, 131072, QSize(0, 600)), (Zoom{1, 131072}));
  EXPECT_EQ(FitZoom(0, 0, QSize(800, 600)), (Zoom{}));
}

TEST(Zoom, FitIsTheLargestAndFits) {
  const QSize area(800, 600);
  for (const int rows : {1, 7, 19, 20, 512, 599, 600, 601, 40000, 131072}) {
    for (const int mics : {1, 12, 64, 256, 1000}) {
      const Zoom fit = FitZoom(mics, rows, area);
      const QSize size = MapPixelSize(fit, mics, rows);
      EXPECT_LE(size.width(), area.width()) << mics << " x " << rows;
      EXPECT_LE(size.height(), area.height()) << mics << " x " << rows;
      const Zoom larger = ZoomIn(fit);
      if (larger == fit) continue;  // 32:1
      const QSize largerSize = MapPixelSize(larger, mics, rows);
      EXPECT_TRUE(largerSize.width() > area.width() || largerSize.height() > area.height())
          << mics << " x " << rows;
    }
  }
}

TEST(Zoom, AnchoredScrollKeepsTheCellUnderTheCursor) {
  // 1:1 -> 2:1: view pixel 150 (cell 150) under the cursor becomes view pixel 301 (cell 150).
  EXPECT_EQ(AnchoredScroll(Zoom{}, Zoom{2, 1}, QPoint(50, 40), QPoint(100, 200)), QPoint(251, 441));
  // And back.
  EXPECT_EQ(AnchoredScroll(Zoom{2, 1}, Zoom{}, QPoint(50, 40), QPoint(251, 441)), QPoint(100, 200));
  // 1:1 -> 1:3: cell 150 lies in block 50 (cells 150..152).
  EXPECT_EQ(AnchoredScroll(Zoom{}, Zoom{1, 3}, QPoint(50, 0), QPoint(100, 300)), QPoint(0, 100));
  // Near the top-left the offsets stop at 0.
  EXPECT_EQ(AnchoredScroll(Zoom{}, Zoom{1, 2}, QPoint(10, 10), QPoint(0, 0)), QPoint(0, 0));
}

// The new pixel under the cursor holds the map point at the centre of the old one, when no
// clamping interferes: X' / s_to <= (X + 1/2) / s_from < (X' + 1) / s_to, in exact integers.
bool HoldsTheCentre(Zoom from, Zoom to, std::int64_t oldPixel, std::int64_t newPixel) {
  const std::int64_t a = std::int64_t{2} * newPixel * to.out * from.in;  // 2 X' from.in to.out
  const std::int64_t p = (2 * oldPixel + 1) * from.out * to.in;          // (2X+1) from.out to.in
  const std::int64_t b = std::int64_t{2} * (newPixel + 1) * to.out * from.in;
  return a <= p && p < b;
}

TEST(Zoom, AnchoredScrollRoundTripsAndHoldsThePoint) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> pick(0, 9);
  std::uniform_int_distribution<int> outs(2, 300);
  std::uniform_int_distribution<int> offsets(0, 200000);  // results stay within an int
  std::uniform_int_distribution<int> cursors(0, 1000);
  const auto randomZoom = [&] {
    const int k = pick(random);
    return k < 5 ? Zoom{kZoomInFactors[static_cast<std::size_t>(2 * k)], 1} : Zoom{1, outs(random)};
  };
  int checked = 0;
  for (int i = 0; i < 2000; ++i) {
    const Zoom a = randomZoom();
    const Zoom b = randomZoom();
    const QPoint cursor(cursors(random), cursors(random));
    const QPoint scroll(offsets(random), offsets(random));
    const QPoint moved = AnchoredScroll(a, b, cursor, scroll);
    ASSERT_GE(moved.x(), 0);
    ASSERT_GE(moved.y(), 0);
    if (moved.x() > 0) {  // not stopped at 0
      ASSERT_TRUE(HoldsTheCentre(a, b, scroll.x() + cursor.x(), moved.x() + cursor.x()));
      ++checked;
    }
    if (moved.y() > 0) {
      ASSERT_TRUE(HoldsTheCentre(a, b, scroll.y() + cursor.y(), moved.y() + cursor.y()));
      ++checked;
    }
    // Zooming in and back out again returns exactly to the start.
    const bool bLarger = ZoomScale(b) >= ZoomScale(a);
    const Zoom small = bLarger ? a : b;
    const Zoom large = bLarger ? b : a;
    const QPoint there = AnchoredScroll(small, large, cursor, scroll);
    if (there.x() > 0 && there.y() > 0) {
      ASSERT_EQ(AnchoredScroll(large, small, cursor, there), scroll);
    }
  }
  EXPECT_GT(checked, 1000);
}

TEST(Zoom, AnchoredScrollThroughEveryStepReturnsHome) {
  const QPoint cursor(321, 123);
  const QPoint start(5000, 70000);
  QPoint scroll = start;
  Zoom z{1, 40};
  while (z != Zoom{kMaxZoomIn, 1}) {
    const Zoom next = ZoomIn(z);
    scroll = AnchoredScroll(z, next, cursor, scroll);
    z = next;
  }
  while (z != Zoom{1, 40}) {
    const Zoom next = ZoomOut(z, 1000);
    scroll = AnchoredScroll(z, next, cursor, scroll);
    z = next;
  }
  EXPECT_EQ(scroll, start);
}

}  // namespace

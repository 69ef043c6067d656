// The renderer's image surface gathers columns in blocks before copying them into the image: the
// image must come out as if every column had been written at once, whatever the order.

#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

#include "image_surface.h"

namespace {

std::uint8_t GreyAt(int column, int row) {
  return static_cast<std::uint8_t>((column * 7 + row * 3) % 251);
}

std::vector<std::uint8_t> Column(int column, int rows) {
  std::vector<std::uint8_t> greys(static_cast<std::size_t>(rows));
  for (int r = 0; r < rows; ++r) greys[static_cast<std::size_t>(r)] = GreyAt(column, r);
  return greys;
}

TEST(ImageSurfaceTest, ColumnsInAnyOrderEndUpWhereTheyBelong) {
  constexpr int kColumns = 150;  // two full blocks and a part
  constexpr int kRows = 131;
  ImageSurface surface;
  surface.Clear(kColumns, kRows);
  const QImage blank = surface.Image().copy();

  std::vector<int> order(kColumns);
  std::iota(order.begin(), order.end(), 1);
  std::shuffle(order.begin() + 70, order.end(), std::mt19937(3));
  order.erase(order.begin() + 20);  // column 21 stays unpainted
  order.push_back(5);               // a column painted twice
  for (const int c : order) surface.PaintColumn(c, Column(c, kRows));
  surface.PaintColumn(kColumns + 1, Column(0, kRows));  // outside: ignored
  const std::vector<std::uint8_t> shortColumn = Column(0, 10);
  surface.PaintColumn(21, shortColumn);  // only its top rows

  const QImage& image = surface.Image();
  for (int c = 1; c <= kColumns; ++c) {
    for (int r = 0; r < kRows; ++r) {
      const int expected = c != 21  ? GreyAt(c, r)
                           : r < 10 ? GreyAt(0, r)
                                    : qGray(blank.pixel(20, r));
      ASSERT_EQ(qGray(image.pixel(c - 1, r)), expected) << "column " << c << " row " << r;
    }
  }
}

}  // namespace

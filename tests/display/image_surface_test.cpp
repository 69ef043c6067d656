// The renderer's image surfaces gather columns in blocks before copying them into the image: the
// image must come out as if every column had been written at once, whatever the order.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QImage>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "grey_surface.h"
#include "image_surface.h"
#include "png_writer.h"

namespace {

std::uint8_t GreyAt(int column, int row) {
  return static_cast<std::uint8_t>((column * 7 + row * 3) % 251);
}

std::vector<std::uint8_t> Column(int column, int rows) {
  std::vector<std::uint8_t> greys(static_cast<std::size_t>(rows));
  for (int r = 0; r < rows; ++r) greys[static_cast<std::size_t>(r)] = GreyAt(column, r);
  return greys;
}

// What the PNG writer writes, through a temporary file.
std::string PngBytes(const std::function<void(int)>& write) {
  std::FILE* file = std::tmpfile();
  const int fd = fileno(file);
  write(fd);
  std::string bytes(static_cast<std::size_t>(::lseek(fd, 0, SEEK_END)), '\0');
  const ssize_t read = ::pread(fd, bytes.data(), bytes.size(), 0);
  std::fclose(file);
  bytes.resize(read > 0 ? static_cast<std::size_t>(read) : 0);
  return bytes;
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

  // The renderer's plain pictures come from the surface without Qt: the same columns give it the
  // same pixels (column 21's lower rows the same background), and the PNG writer the same file.
  GreySurface plain;
  plain.Clear(kColumns, kRows);
  for (const int c : order) plain.PaintColumn(c, Column(c, kRows));
  plain.PaintColumn(21, shortColumn);
  const PngPixels pixels = plain.Pixels();
  ASSERT_EQ(pixels.width, kColumns);
  ASSERT_EQ(pixels.height, kRows);
  for (int r = 0; r < kRows; ++r) {
    ASSERT_EQ(0, std::memcmp(pixels.bits + std::ptrdiff_t{r} * pixels.stride,
                             image.constScanLine(r), kColumns))
        << "row " << r;
  }
  EXPECT_EQ(PngBytes([&](int fd) { WritePng(pixels, fd); }),
            PngBytes([&](int fd) { WritePng(image, fd); }));
}

}  // namespace

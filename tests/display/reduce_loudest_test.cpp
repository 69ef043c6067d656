#include "reduce_loudest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <stdexcept>
#include <vector>

#include "palette.h"

namespace {

using Rows = std::vector<std::vector<int>>;

QImage ImageOf(const Rows& rows, QImage::Format format = QImage::Format_Grayscale8) {
  QImage image(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()), format);
  if (format == QImage::Format_Indexed8) image.setColorTable(PaletteColourTable(Palette::Viridis));
  for (std::size_t y = 0; y < rows.size(); ++y) {
    for (std::size_t x = 0; x < rows[y].size(); ++x) {
      image.scanLine(static_cast<int>(y))[x] = static_cast<uchar>(rows[y][x]);
    }
  }
  return image;
}

Rows BytesOf(const QImage& image) {
  Rows rows(static_cast<std::size_t>(image.height()));
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) rows[y].push_back(image.constScanLine(y)[x]);
  }
  return rows;
}

// The reduction written out cell by cell.
Rows Expected(const Rows& in, int out) {
  const int h = static_cast<int>(in.size());
  const int w = static_cast<int>(in[0].size());
  Rows rows(static_cast<std::size_t>((h + out - 1) / out),
            std::vector<int>(static_cast<std::size_t>((w + out - 1) / out), 255));
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      int& m = rows[y / out][x / out];
      m = std::min(m, in[y][x]);
    }
  }
  return rows;
}

// Each block of out x out cells becomes one pixel of its smallest grey (its loudest cell); blocks
// at the right and bottom edges take the cells that exist.
TEST(ReduceLoudest, EachBlockTakesItsSmallestGrey) {
  const Rows square{{10, 20, 30, 40}, {50, 5, 60, 70}, {80, 90, 100, 1}, {110, 120, 130, 140}};
  const Rows five{
      {200, 201, 202, 203, 204}, {205, 206, 207, 208, 150}, {210, 211, 212, 213, 214},
      {215, 216, 217, 218, 219}, {220, 100, 222, 223, 240},
  };
  const struct {
    Rows in;
    int out;
    Rows reduced;
  } cases[] = {
      {square, 2, {{5, 30}, {80, 1}}},
      {five, 3, {{200, 150}, {100, 218}}},
      {five, 2, {{200, 202, 150}, {210, 212, 214}, {100, 222, 240}}},
      {five, 1000, {{100}}},  // beyond both sides: the loudest cell of all
      {{{9, 8, 7, 6, 5, 4, 3}}, 3, {{7, 4, 3}}},
      {{{9}, {3}, {8}, {7}}, 2, {{3}, {7}}},
  };
  for (const auto& c : cases) {
    const QImage reduced = ReduceLoudest(ImageOf(c.in), c.out);
    EXPECT_EQ(reduced.format(), QImage::Format_Grayscale8);
    EXPECT_EQ(BytesOf(reduced), c.reduced) << "by " << c.out;
  }
}

TEST(ReduceLoudest, OutOneReturnsTheSamePixels) {
  const QImage in = ImageOf({{1, 2, 3}, {4, 5, 6}});
  const QImage same = ReduceLoudest(in, 1);
  EXPECT_EQ(same, in);
  EXPECT_EQ(same.format(), in.format());
}

TEST(ReduceLoudest, KeepsAnIndexedImagesFormatAndColourTable) {
  const QImage in = ImageOf({{1, 2, 3}, {4, 5, 6}, {7, 8, 0}}, QImage::Format_Indexed8);
  const QImage reduced = ReduceLoudest(in, 2);
  EXPECT_EQ(reduced.format(), QImage::Format_Indexed8);
  EXPECT_EQ(reduced.colorTable(), in.colorTable());
  EXPECT_EQ(BytesOf(reduced), (Rows{{1, 3}, {7, 0}}));
  EXPECT_EQ(reduced.pixel(1, 1), PaletteColour(Palette::Viridis, 0));
}

TEST(ReduceLoudest, ASingleLoudCellSurvivesAnyReduction) {
  constexpr int kWidth = 37;
  constexpr int kHeight = 1031;
  for (const QPoint loud : {QPoint(0, 0), QPoint(36, 1030), QPoint(17, 512), QPoint(5, 999)}) {
    QImage in(kWidth, kHeight, QImage::Format_Grayscale8);
    in.fill(QColor(200, 200, 200));
    in.scanLine(loud.y())[loud.x()] = 3;
    for (const int out : {2, 3, 4, 7, 16, 64, 219, 1030, 1031, 5000}) {
      const QImage reduced = ReduceLoudest(in, out);
      ASSERT_EQ(reduced.size(), QSize((kWidth + out - 1) / out, (kHeight + out - 1) / out));
      for (int y = 0; y < reduced.height(); ++y) {
        for (int x = 0; x < reduced.width(); ++x) {
          const int expected = (x == loud.x() / out && y == loud.y() / out) ? 3 : 200;
          ASSERT_EQ(reduced.constScanLine(y)[x], expected)
              << "out " << out << " at " << x << "," << y;
        }
      }
    }
  }
}

TEST(ReduceLoudest, MatchesTheCellByCellDefinition) {
  std::mt19937 random(11);
  std::uniform_int_distribution<int> bytes(0, 255);
  // Widths around the 16- and 64-byte steps of the vectorised minimums and their tails.
  for (const QSize size :
       {QSize(1, 1), QSize(3, 5), QSize(64, 131), QSize(257, 33), QSize(1001, 7), QSize(95, 40)}) {
    Rows in(static_cast<std::size_t>(size.height()));
    for (auto& row : in) {
      for (int x = 0; x < size.width(); ++x) row.push_back(bytes(random));
    }
    for (const int out : {1, 2, 3, 4, 5, 8, 13, 16, 17, 64, 300}) {
      EXPECT_EQ(BytesOf(ReduceLoudest(ImageOf(in), out)), Expected(in, out))
          << size.width() << " x " << size.height() << " by " << out;
    }
  }
}

TEST(ReduceLoudest, RefusesOtherFormatsAndFactorsBelowOne) {
  EXPECT_THROW(ReduceLoudest(ImageOf({{1}}), 0), std::invalid_argument);
  EXPECT_THROW(ReduceLoudest(QImage(2, 2, QImage::Format_RGB32), 2), std::invalid_argument);
  EXPECT_TRUE(ReduceLoudest(QImage(), 4).isNull());
}

}  // namespace

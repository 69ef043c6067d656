// The map's cells at a zoom and in a palette, without legend.

#include <gtest/gtest.h>

#include <QImage>
#include <random>
#include <stdexcept>

#include "view_image.h"

namespace {

// width x height greys, random but repeatable; odd widths so that rows are padded.
QImage RandomGreys(int width, int height, QImage::Format format = QImage::Format_Grayscale8) {
  QImage image(width, height, format);
  if (format == QImage::Format_Indexed8) image.setColorTable(PaletteColourTable(Palette::Magma));
  std::mt19937 random(7);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) image.scanLine(y)[x] = static_cast<uchar>(random() % 256);
  }
  return image;
}

QRgb ColourAt(const QImage& image, int x, int y) {
  return image.pixel(x, y) | 0xff000000u;
}

TEST(ZoomedCells, AtOneToOneTheGreyPaletteGivesTheGreysThemselves) {
  for (const auto format : {QImage::Format_Grayscale8, QImage::Format_Indexed8}) {
    const QImage greys = RandomGreys(7, 5, format);
    const QImage cells = ZoomedCells(greys, Zoom{}, Palette::Grey);
    ASSERT_EQ(cells.format(), QImage::Format_Grayscale8);
    ASSERT_EQ(cells.size(), greys.size());
    for (int y = 0; y < greys.height(); ++y) {
      for (int x = 0; x < greys.width(); ++x) {
        ASSERT_EQ(cells.constScanLine(y)[x], greys.constScanLine(y)[x]) << x << "," << y;
      }
    }
  }
}

TEST(ZoomedCells, AtThreeEveryCellIsAThreeByThreeBlockOfItsPaletteColour) {
  QImage greys = RandomGreys(5, 4);
  greys.scanLine(0)[0] = 0;    // the palette's bright end
  greys.scanLine(3)[4] = 255;  // its dark end
  for (const Palette palette : kAllPalettes) {
    SCOPED_TRACE(PaletteKey(palette).toStdString());
    const QImage cells = ZoomedCells(greys, Zoom{3, 1}, palette);
    ASSERT_EQ(cells.size(), QSize(15, 12));
    EXPECT_EQ(cells.format(),
              palette == Palette::Grey ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
    for (int y = 0; y < cells.height(); ++y) {
      for (int x = 0; x < cells.width(); ++x) {
        const std::uint8_t grey = greys.constScanLine(y / 3)[x / 3];
        ASSERT_EQ(ColourAt(cells, x, y), PaletteColour(palette, grey)) << x << "," << y;
      }
    }
  }
}

TEST(ZoomedCells, AtOneToTwoTheLoudestCellOfEachBlockSurvives) {
  // 5 x 5 of quiet cells with one loud cell in the last, cut-short block and one in the middle.
  QImage greys(5, 5, QImage::Format_Grayscale8);
  greys.fill(200);
  greys.scanLine(4)[4] = 3;
  greys.scanLine(3)[2] = 0;
  for (const Palette palette : {Palette::Grey, Palette::Inferno}) {
    const QImage cells = ZoomedCells(greys, Zoom{1, 2}, palette);
    ASSERT_EQ(cells.size(), QSize(3, 3));
    EXPECT_EQ(ColourAt(cells, 2, 2), PaletteColour(palette, 3));
    EXPECT_EQ(ColourAt(cells, 1, 1), PaletteColour(palette, 0));
    EXPECT_EQ(ColourAt(cells, 0, 0), PaletteColour(palette, 200));
    EXPECT_EQ(ColourAt(cells, 1, 2), PaletteColour(palette, 200));
  }
  // 1:out wins over in:1, as in the sizes of the view.
  EXPECT_EQ(ZoomedCells(greys, Zoom{4, 2}, Palette::Grey).size(), MapPixelSize(Zoom{4, 2}, 5, 5));
}

TEST(ZoomedCells, NullStaysNullAndOtherFormatsAreRefused) {
  EXPECT_TRUE(ZoomedCells(QImage(), Zoom{3, 1}, Palette::Viridis).isNull());
  EXPECT_TRUE(ViewImage(QImage(), Zoom{}, Palette::Grey, false, LegendFacts{}).isNull());
  EXPECT_THROW(ZoomedCells(QImage(2, 2, QImage::Format_RGB32), Zoom{}, Palette::Grey),
               std::invalid_argument);
}

TEST(ViewImage, WithoutLegendItIsExactlyTheZoomedCells) {
  const QImage greys = RandomGreys(9, 6);
  LegendFacts facts;
  facts.micCount = 9;
  facts.rowCount = 6;
  for (const Zoom zoom : {Zoom{}, Zoom{2, 1}, Zoom{1, 4}}) {
    for (const Palette palette : {Palette::Grey, Palette::Cividis}) {
      const QImage view = ViewImage(greys, zoom, palette, false, facts);
      const QImage cells = ZoomedCells(greys, zoom, palette);
      EXPECT_EQ(view.format(), cells.format());
      EXPECT_EQ(view, cells) << ZoomText(zoom).toStdString();
    }
  }
}

}  // namespace

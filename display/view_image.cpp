#include "view_image.h"

#include <QFont>
#include <QGuiApplication>
#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

#include "draw_error.h"
#include "map_geometry.h"
#include "reduce_loudest.h"
#include "view_legend.h"

namespace {

using Rgb = std::array<uchar, 3>;

constexpr std::int64_t kIntMax = std::numeric_limits<int>::max();

QImage NewImage(std::int64_t width, std::int64_t height, QImage::Format format) {
  if (width > kIntMax || height > kIntMax) throw DrawError("the picture is too large to make");
  QImage image(static_cast<int>(width), static_cast<int>(height), format);
  if (image.isNull()) throw DrawError("there is not enough memory for the picture");
  return image;
}

// Rows `first + 1 .. first + count - 1` of image become copies of row `first`.
void RepeatRow(QImage& image, int first, int count) {
  const uchar* row = image.constScanLine(first);
  const auto bytes = static_cast<std::size_t>(image.bytesPerLine());
  for (int k = 1; k < count; ++k) std::memcpy(image.scanLine(first + k), row, bytes);
}

// Each byte of `source` (width bytes) becomes `in` bytes of target.
void WidenGreys(const uchar* source, int width, int in, uchar* target) {
  if (in == 1) {
    std::memcpy(target, source, static_cast<std::size_t>(width));
    return;
  }
  for (int x = 0; x < width; ++x, target += in) std::memset(target, source[x], in);
}

// Each byte of `source` becomes `in` pixels of its colour (three bytes each) in target.
void WidenColours(const uchar* source, int width, int in, const std::array<Rgb, 256>& colours,
                  uchar* target) {
  for (int x = 0; x < width; ++x) {
    const Rgb& c = colours[source[x]];
    for (int k = 0; k < in; ++k, target += 3) std::memcpy(target, c.data(), 3);
  }
}

std::array<Rgb, 256> ColoursOf(Palette palette) {
  std::array<Rgb, 256> colours{};
  for (int grey = 0; grey < 256; ++grey) {
    const QRgb c = PaletteColour(palette, static_cast<std::uint8_t>(grey));
    colours[static_cast<std::size_t>(grey)] = {
        static_cast<uchar>(qRed(c)), static_cast<uchar>(qGreen(c)), static_cast<uchar>(qBlue(c))};
  }
  return colours;
}

}  // namespace

QImage ZoomedCells(const QImage& greys, MapZoom zoom, Palette palette) {
  if (greys.isNull()) return {};
  if (greys.format() != QImage::Format_Grayscale8 && greys.format() != QImage::Format_Indexed8) {
    throw std::invalid_argument("ZoomedCells: the image is not one byte per cell");
  }
  QImage source;
  try {
    source = ReduceLoudest(greys, std::max(zoom.columns.out, 1), std::max(zoom.rows.out, 1));
  } catch (const std::bad_alloc&) {
    throw DrawError("there is not enough memory for the picture");
  }
  const int inX = zoom.columns.out > 1 ? 1 : std::max(zoom.columns.in, 1);
  const int inY = zoom.rows.out > 1 ? 1 : std::max(zoom.rows.in, 1);
  const bool grey = palette == Palette::Grey;
  if (grey && inX == 1 && inY == 1 && source.format() == QImage::Format_Grayscale8) return source;

  const int width = source.width();
  QImage zoomed = NewImage(std::int64_t{width} * inX, std::int64_t{source.height()} * inY,
                           grey ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
  const std::array<Rgb, 256> colours = grey ? std::array<Rgb, 256>{} : ColoursOf(palette);
  for (int y = 0; y < source.height(); ++y) {
    const int first = y * inY;
    if (grey) {
      WidenGreys(source.constScanLine(y), width, inX, zoomed.scanLine(first));
    } else {
      WidenColours(source.constScanLine(y), width, inX, colours, zoomed.scanLine(first));
    }
    RepeatRow(zoomed, first, inY);
  }
  return zoomed;
}

QImage ViewImage(const QImage& greys, MapZoom zoom, Palette palette, bool legend,
                 const LegendFacts& facts) {
  if (!legend) return ZoomedCells(greys, zoom, palette);
  if (qGuiApp == nullptr) throw std::logic_error("the legend needs a QGuiApplication for its font");
  const QSize cells = MapPixelSize(zoom, greys.width(), greys.height());
  if (cells.width() > kMaxSide || cells.height() > kMaxSide) {
    throw DrawError("the picture is too large to make");
  }
  return ShownMapImage(greys, greys.width(), zoom, palette, facts, QFont(),
                       cells + QSize(2 * kPictureBorder, 2 * kPictureBorder));
}

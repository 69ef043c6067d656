#include "map_region.h"

#include <algorithm>

QImage MapRegion(const ShownCells& cells, const QRect& view) {
  QImage region(view.size(), QImage::Format_RGB32);
  const QRgb background = qRgb(kPictureBackground, kPictureBackground, kPictureBackground);
  region.fill(background);
  const QImage& greys = *cells.greys;
  if (greys.isNull() || view.isEmpty()) return region;
  const int inX = std::max(cells.zoom.columns.in, 1);
  const int inY = std::max(cells.zoom.rows.in, 1);
  QRgb colours[256];
  for (int g = 0; g < 256; ++g)
    colours[g] = PaletteColour(cells.palette, static_cast<std::uint8_t>(g));
  const int painted = std::min(greys.width(), cells.paintedColumns);
  const int rows = greys.height() * inY;
  const int firstY = std::max(view.top(), 0);
  const int lastY = std::min(view.bottom(), rows - 1);
  const int firstX = std::max(view.left(), 0);
  const int lastX = std::min(view.right(), greys.width() * inX - 1);
  for (int y = firstY; y <= lastY; ++y) {
    const uchar* source = greys.constScanLine(y / inY);
    auto* target = reinterpret_cast<QRgb*>(region.scanLine(y - view.top()));
    for (int x = firstX; x <= lastX; ++x) {
      const int column = x / inX;
      if (column < painted) target[x - view.left()] = colours[source[column]];
    }
  }
  // The initial image's pixel until the first column is painted.
  if (painted == 0 && QRect(0, 0, inX, inY).intersects(view)) {
    const QRect initial = QRect(0, 0, inX, inY).intersected(view).translated(-view.topLeft());
    const QRgb grey = InitialImage().pixel(0, 0);
    for (int y = initial.top(); y <= initial.bottom(); ++y) {
      std::fill_n(reinterpret_cast<QRgb*>(region.scanLine(y)) + initial.left(), initial.width(),
                  grey);
    }
  }
  return region;
}

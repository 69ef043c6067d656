#include "zoom.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace {

constexpr std::int64_t kIntMax = std::numeric_limits<int>::max();

int ClampToInt(std::int64_t v) {
  return static_cast<int>(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(), kIntMax));
}

// Floor and ceiling of a / b for b > 0.
std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  const std::int64_t q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}
std::int64_t CeilDiv(std::int64_t a, std::int64_t b) {
  return -FloorDiv(-a, b);
}

// View pixels of a count of cells.
std::int64_t PixelCount(Zoom zoom, std::int64_t cells) {
  cells = std::max<std::int64_t>(cells, 0);
  return zoom.out > 1 ? CeilDiv(cells, zoom.out) : cells * std::max(zoom.in, 1);
}

// The view pixel that holds the map point at the centre of view pixel `pixel` of `from`:
// floor((pixel + 1/2) x scale(to) / scale(from)), exactly in integers (128 bits, as the product
// of a far pixel and two factors may pass 64).
std::int64_t MapPixel(Zoom from, Zoom to, std::int64_t pixel) {
  __extension__ typedef __int128 Wide;
  const Wide num = Wide{2 * pixel + 1} * std::max(to.in, 1) * std::max(from.out, 1);
  const Wide den = Wide{2} * std::max(to.out, 1) * std::max(from.in, 1);
  Wide q = num / den;
  if (num % den != 0 && num < 0) --q;
  return static_cast<std::int64_t>(std::clamp<Wide>(q, -kIntMax * 4, kIntMax * 4));
}

}  // namespace

Zoom ZoomIn(Zoom zoom) {
  if (zoom.out > 1) return zoom.out == 2 ? Zoom{} : Zoom{1, zoom.out - 1};
  if (zoom.in >= kMaxZoomIn) return Zoom{zoom.in, 1};
  for (const int factor : kZoomInFactors) {
    if (factor > zoom.in) return Zoom{factor, 1};
  }
  return Zoom{kMaxZoomIn, 1};
}

Zoom ZoomOut(Zoom zoom, int maxOut) {
  maxOut = std::max(maxOut, 1);
  if (zoom.in > 1) {
    Zoom lower{};
    for (const int factor : kZoomInFactors) {
      if (factor < zoom.in) lower = Zoom{factor, 1};
    }
    return lower;
  }
  const int current = std::max(zoom.out, 1);
  const int out = current >= maxOut ? maxOut : current + 1;
  return out > 1 ? Zoom{1, out} : Zoom{};
}

int MaxZoomOut(std::int32_t micCount, std::int32_t rowCount) {
  return std::max({micCount, rowCount, std::int32_t{1}});
}

QString ZoomText(Zoom zoom) {
  if (zoom.out > 1) return QStringLiteral("1:%1").arg(zoom.out);
  return QStringLiteral("%1%").arg(static_cast<qint64>(std::max(zoom.in, 1)) * 100);
}

QString ZoomText(MapZoom zoom) {
  if (zoom.Square()) return ZoomText(zoom.columns);
  return ZoomText(zoom.columns) + QStringLiteral(" × ") + ZoomText(zoom.rows);
}

double ZoomScale(Zoom zoom) {
  return zoom.out > 1 ? 1.0 / zoom.out : static_cast<double>(std::max(zoom.in, 1));
}

QSize MapPixelSize(MapZoom zoom, std::int32_t micCount, std::int32_t rowCount) {
  return QSize(ClampToInt(PixelCount(zoom.columns, micCount)),
               ClampToInt(PixelCount(zoom.rows, rowCount)));
}

namespace {

// Pixel span [first, last] of the cells [first, last] along one direction.
std::pair<std::int64_t, std::int64_t> PixelSpan(Zoom zoom, std::int64_t first, std::int64_t last) {
  if (zoom.out > 1) return {FloorDiv(first, zoom.out), FloorDiv(last, zoom.out)};
  const std::int64_t in = std::max(zoom.in, 1);
  return {first * in, (last + 1) * in - 1};
}

// Cell span [first, last] of the pixels [first, last] along one direction.
std::pair<std::int64_t, std::int64_t> CellSpan(Zoom zoom, std::int64_t first, std::int64_t last) {
  if (zoom.out > 1) return {first * zoom.out, (last + 1) * zoom.out - 1};
  const std::int64_t in = std::max(zoom.in, 1);
  return {FloorDiv(first, in), FloorDiv(last, in)};
}

QRect SpansToRect(std::pair<std::int64_t, std::int64_t> x,
                  std::pair<std::int64_t, std::int64_t> y) {
  return QRect(QPoint(ClampToInt(x.first), ClampToInt(y.first)),
               QPoint(ClampToInt(x.second), ClampToInt(y.second)));
}

}  // namespace

QRect PixelRectOfCells(MapZoom zoom, const QRect& cells) {
  if (cells.isEmpty()) return {};
  return SpansToRect(PixelSpan(zoom.columns, cells.left(), cells.right()),
                     PixelSpan(zoom.rows, cells.top(), cells.bottom()));
}

QRect CellsOfPixels(MapZoom zoom, const QRect& pixels) {
  if (pixels.isEmpty()) return {};
  return SpansToRect(CellSpan(zoom.columns, pixels.left(), pixels.right()),
                     CellSpan(zoom.rows, pixels.top(), pixels.bottom()));
}

Zoom FitZoom(std::int32_t micCount, std::int32_t rowCount, QSize area) {
  const std::int64_t mics = std::max<std::int32_t>(micCount, 0);
  const std::int64_t rows = std::max<std::int32_t>(rowCount, 0);
  if (mics == 0 || rows == 0) return Zoom{};
  if (area.width() <= 0 || area.height() <= 0) return Zoom{1, MaxZoomOut(micCount, rowCount)};
  Zoom best{};
  bool fits = false;
  for (const int factor : kZoomInFactors) {
    if (mics * factor <= area.width() && rows * factor <= area.height()) {
      best = Zoom{factor, 1};
      fits = true;
    }
  }
  if (fits) return best;
  // ceil(count / out) <= side exactly when out >= ceil(count / side).
  const std::int64_t out = std::max(CeilDiv(mics, area.width()), CeilDiv(rows, area.height()));
  return Zoom{1, static_cast<int>(out)};
}

Zoom FitAxis(std::int32_t count, int side, int maxIn) {
  if (count <= 0) return Zoom{};
  if (side <= 0) return count > 1 ? Zoom{1, count} : Zoom{};
  if (count <= side) {
    return Zoom{static_cast<int>(std::clamp<std::int64_t>(side / count, 1, std::max(maxIn, 1))), 1};
  }
  const auto out = static_cast<int>(CeilDiv(count, side));
  return out > 1 ? Zoom{1, out} : Zoom{};
}

MapZoom FitStretched(std::int32_t micCount, std::int32_t rowCount, QSize area) {
  return MapZoom(FitAxis(micCount, area.width(), kMaxFitIn),
                 FitAxis(rowCount, area.height(), kMaxFitIn));
}

QPoint AnchoredScroll(MapZoom from, MapZoom to, QPoint cursor, QPoint scroll) {
  const std::int64_t x =
      MapPixel(from.columns, to.columns, std::int64_t{scroll.x()} + cursor.x()) - cursor.x();
  const std::int64_t y =
      MapPixel(from.rows, to.rows, std::int64_t{scroll.y()} + cursor.y()) - cursor.y();
  return QPoint(ClampToInt(std::max<std::int64_t>(x, 0)), ClampToInt(std::max<std::int64_t>(y, 0)));
}

#pragma once
// Zoom of the map view, for each direction on its own. Upward a cell is `in` screen pixels along
// that direction (keys step through 1, 2, 3, 4, 6, 8, 12, 16, 24, 32; a fit may take any whole
// number); downward a screen pixel shows `out` cells along it (out: any integer from 2). View
// pixels are pixels of the whole zoomed map, (0, 0) at its top-left corner; cells are 0-based
// (column, row) = (microphone - 1, row - 1).

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <array>
#include <cstdint>

// in:1 when in > 1, 1:out when out > 1, 1:1 when both are 1; never both above 1.
struct Zoom {
  int in = 1;
  int out = 1;
  friend bool operator==(const Zoom&, const Zoom&) = default;
};

// The zoom of both directions: columns (microphones) and rows (time) scale separately. A Zoom
// converts to the square zoom of both.
struct MapZoom {
  Zoom columns;
  Zoom rows;
  MapZoom() = default;
  MapZoom(Zoom both) : columns(both), rows(both) {}  // NOLINT: a square zoom is a zoom
  MapZoom(Zoom columnZoom, Zoom rowZoom) : columns(columnZoom), rows(rowZoom) {}
  bool Square() const { return columns == rows; }
  friend bool operator==(const MapZoom&, const MapZoom&) = default;
};

// The upward factors, ascending; ZoomIn stops at the last.
inline constexpr std::array<int, 10> kZoomInFactors{1, 2, 3, 4, 6, 8, 12, 16, 24, 32};
inline constexpr int kMaxZoomIn = kZoomInFactors.back();

// One step larger: 1:out goes to 1:(out - 1); in:1 to the next factor of kZoomInFactors above in
// (an in between two factors goes to the upper one). 32:1 and above stay.
Zoom ZoomIn(Zoom zoom);
// One step smaller: in:1 goes to the next factor of kZoomInFactors below in; 1:out to
// 1:(out + 1), but never past 1:maxOut (a zoom already past it is brought back to 1:maxOut;
// maxOut below 1 counts as 1).
Zoom ZoomOut(Zoom zoom, int maxOut);
// The out at which a micCount x rowCount map is one pixel in both directions: the larger count
// (at least 1). The natural maxOut for ZoomOut.
int MaxZoomOut(std::int32_t micCount, std::int32_t rowCount);

// For menus and the status bar: "100%", "200%", ... "3200%" for 1:1 and in:1, "1:2", "1:3", ...
// for 1:out; a zoom that is not square gives both, columns first ("300% × 1:2").
QString ZoomText(Zoom zoom);
QString ZoomText(MapZoom zoom);
// View pixels per cell: in, or 1 / out.
double ZoomScale(Zoom zoom);

// Size in view pixels of a micCount x rowCount map: count x in, or ceil(count / out), each side at
// its direction's zoom. Counts below 0 count as 0; a side too large for an int is limited to the
// largest int.
QSize MapPixelSize(MapZoom zoom, std::int32_t micCount, std::int32_t rowCount);

// The view pixels that show the cells of `cells` (0-based, any position): each cell's in x in
// square at in:1; at 1:out the pixels of the blocks the cells fall in. Empty for empty cells.
QRect PixelRectOfCells(MapZoom zoom, const QRect& cells);
inline QRect PixelRectOfCell(MapZoom zoom, QPoint cell) {
  return PixelRectOfCells(zoom, QRect(cell, QSize(1, 1)));
}
// The cells that the view pixels of `pixels` show: at in:1 each cell touched; at 1:out the whole
// out x out block of each pixel. Not limited to the map: the caller intersects with it.
QRect CellsOfPixels(MapZoom zoom, const QRect& pixels);
inline QRect CellsOfPixel(MapZoom zoom, QPoint pixel) {
  return CellsOfPixels(zoom, QRect(pixel, QSize(1, 1)));
}
// The cell under view pixel `pixel` (floor division, so negative pixels give negative cells): the
// one cell at in:1 and 1:1, the top-left cell of the pixel's block at 1:out.
inline QPoint CellAtPixel(MapZoom zoom, QPoint pixel) {
  return CellsOfPixel(zoom, pixel).topLeft();
}

// The largest zoom at which the whole micCount x rowCount map fits `area` (in view pixels):
// upward only the factors of kZoomInFactors, downward the smallest out with ceil(count / out)
// within the area's side in both directions. 1:1 for an empty map; 1:MaxZoomOut for an empty
// area.
Zoom FitZoom(std::int32_t micCount, std::int32_t rowCount, QSize area);
// The largest zoom of one direction at which `count` cells fit `side` pixels: any whole in up to
// maxIn, else the smallest out with ceil(count / out) <= side. 1:1 for no cells; 1:count for a
// side below 1.
Zoom FitAxis(std::int32_t count, int side, int maxIn);
// Both directions fitted on their own (cells need not be square), in up to kMaxFitIn.
inline constexpr int kMaxFitIn = 1024;
MapZoom FitStretched(std::int32_t micCount, std::int32_t rowCount, QSize area);

// Scroll offsets after a zoom from `from` to `to` around the cursor: the new view pixel under
// `cursor` (viewport pixels) is the one that holds the map point under the centre of the old view
// pixel under the cursor, `scroll` being the old scroll offsets (the view pixel at the viewport's
// top-left). Each offset is at least 0; the caller limits it to its maximum.
QPoint AnchoredScroll(MapZoom from, MapZoom to, QPoint cursor, QPoint scroll);

#pragma once
// The part of a map that a window shows: the cells of a view rectangle at a zoom and in a
// palette, with background where nothing has been painted yet.

#include <QImage>
#include <QRect>
#include <cstdint>

#include "initial_image.h"
#include "palette.h"
#include "zoom.h"

struct ShownCells {
  // One byte per cell, or per block of cells (the loudest cell's grey) along a direction whose
  // zoom is 1:out; `zoom` then counts 1:1 along it.
  const QImage* greys;
  MapZoom zoom;
  Palette palette;
  // Columns of `greys` painted so far (they are painted from the left); the rest is background.
  std::int32_t paintedColumns;
};

// The view pixels `view` (of the whole zoomed map) as an RGB32 image of view's size: each cell
// inX x inY pixels of its palette colour; view pixels beyond the map are background, and the
// initial image sits on the first cell until a paint covers it.
QImage MapRegion(const ShownCells& cells, const QRect& view);

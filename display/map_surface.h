#pragma once
// What DrawMap draws on: the headless renderer's image, or the window's picture and scale.

#include <cstdint>
#include <span>

#include "map_geometry.h"

class MapSurface {
 public:
  virtual ~MapSurface() = default;

  // Removes what was painted (leaving the background and the initial image) and every tick of
  // the scale. The picture interior becomes micCount x rowCount.
  virtual void Clear(std::int32_t micCount, std::int32_t rowCount) = 0;
  // A tick of the scale, offsetRows rows below the picture's outer top edge, labelled with
  // label (milliseconds, or a row number on a map without a sampling rate).
  virtual void DrawTick(float offsetRows, int label) = 0;
  // Greys of rows 1..greys.size() of data column `column` (1-based): cell (c, r) is interior
  // pixel (c - 1, r - 1).
  virtual void PaintColumn(std::int32_t column, std::span<const std::uint8_t> greys) = 0;
  // Process the window events that are waiting, then return. May throw to abandon the paint.
  virtual void Yield() = 0;
};

// A surface inside a window, which takes the map's size in two steps: the widths, then, after a
// pause in which the window shows them, the heights.
class WindowMapSurface : public MapSurface {
 public:
  virtual void SetWidths(const MapGeometry& geometry) = 0;
  virtual void SetHeights(const MapGeometry& geometry) = 0;
};

#pragma once
// What DrawMap draws on: the window (picture box and the window's own surface for the scale)
// or the headless renderer's image.

#include <cstdint>
#include <span>

#include "map_layout.h"

class MapSurface {
 public:
  virtual ~MapSurface() = default;

  // Widths of the picture, the window's client area, Text1 and ProgressBar1.
  virtual void SetWidths(const MapLayout& layout) = 0;
  // Heights of the picture and the window's client area.
  virtual void SetHeights(const MapLayout& layout) = 0;
  // Removes what was painted on the picture (leaving its background and initial image) and every
  // tick and label drawn on the window. The picture interior becomes micCount x rowCount.
  virtual void Clear(std::int32_t micCount, std::int32_t rowCount) = 0;
  // A tick of the millisecond scale, offsetRows rows below the picture's outer top edge,
  // labelled with ms.
  virtual void DrawTick(float offsetRows, int ms) = 0;
  // Greys of rows 1..greys.size() of data column `column` (1-based): cell (c, r) is interior
  // pixel (c - 1, r - 1).
  virtual void PaintColumn(std::int32_t column, std::span<const std::uint8_t> greys) = 0;
  // Process the window events that are waiting, then return. May throw to abandon the paint.
  virtual void Yield() = 0;
};

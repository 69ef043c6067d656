#pragma once
// How a map's window fits the screen: maps that fit get exactly the sizes of their layout; larger
// ones get a window capped at the screen's free area, in which the picture scrolls.

#include <cstdint>

#include "window_layout.h"

struct MapFit {
  std::int32_t clientWidth;
  std::int32_t clientHeight;
  std::int32_t pictureWidth;   // outer, as shown
  std::int32_t pictureHeight;  // outer, as shown
  bool scrollsX;               // a horizontal scroll bar lies under the picture
  bool scrollsY;               // a vertical scroll bar lies at the window's right edge
};

// availableWidth x availableHeight: the client area that the screen leaves the window;
// barExtent: the thickness of a scroll bar. The vertical bar adds its thickness to the window's
// width; the horizontal one sits in the room below the picture.
MapFit FitMap(const WindowLayout& layout, std::int32_t availableWidth, std::int32_t availableHeight,
              std::int32_t barExtent);

// First value of a scroll range: how many interior pixels of `total` lie beyond the
// `shownOuter`-pixel picture (border included); 0 when all are shown.
std::int32_t ScrollRange(std::int32_t total, std::int32_t shownOuter);

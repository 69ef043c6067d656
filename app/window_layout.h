#pragma once
// Where the window's controls stand and how large the window grows around a map: room for the
// millisecond scale right of the picture, the file name and the buttons above it. In pixels of
// the client area.

#include <cstdint>

#include "map_geometry.h"

// Design positions of the window's controls before any map is shown.
namespace design {
struct Rect {
  int left, top, width, height;
};
inline constexpr int kClientWidth = 588;
inline constexpr int kClientHeight = 432;
inline constexpr Rect kText1{2, 4, 351, 23};
inline constexpr Rect kCommand1{2, 29, 91, 23};
inline constexpr Rect kCommand2{112, 29, 91, 23};
inline constexpr Rect kPicture1{2, 56, 543, 364};
inline constexpr Rect kProgressBar1{2, 6, 347, 15};
// Narrowest client area that still shows both buttons whole.
inline constexpr int kMinClientWidth = kCommand2.left + kCommand2.width + 2;
}  // namespace design

// Client pixels around the picture (above: the controls); kScaleRoom is beside it.
inline constexpr int kRoomAroundPicture = 90;
// Text1 and ProgressBar1 are this much wider than the map has columns.
inline constexpr int kTextBeyondColumns = 29;

struct WindowLayout {
  std::int32_t pictureOuterWidth;   // MicCount + 4
  std::int32_t pictureOuterHeight;  // RowCount + 4
  std::int32_t clientWidth;         // picture + 35, never narrower than both buttons
  std::int32_t clientHeight;        // picture + 90
  std::int32_t textWidth;           // Text1 and ProgressBar1: MicCount + 29
};

// Throws DrawError when a size exceeds what the toolkit accepts.
WindowLayout ComputeWindowLayout(const MapGeometry& map);

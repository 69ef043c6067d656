#pragma once
// Sizes that the map asks of the window: one interior pixel per data cell, a 2-pixel border,
// room for the millisecond scale and the controls above the picture. All in window pixels.

#include <cstdint>
#include <stdexcept>

class DrawError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Design positions of the window's controls (pixels, client area).
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

inline constexpr int kPictureBorder = 2;  // pixels a side
inline constexpr int kTickLength = 5;
inline constexpr int kTickLabelRise = 5;
// Largest window or picture side, in pixels, that the toolkit accepts.
inline constexpr std::int64_t kMaxSide = 16777215;

struct MapLayout {
  std::int32_t pictureOuterWidth;   // MicCount + 4
  std::int32_t pictureOuterHeight;  // RowCount + 4
  std::int32_t clientWidth;         // picture + 35, never narrower than both buttons
  std::int32_t clientHeight;        // picture + 90
  std::int32_t textWidth;           // Text1 and ProgressBar1: MicCount + 29
};

// Throws DrawError when a size does not fit an int32 or exceeds what the toolkit accepts.
MapLayout ComputeMapLayout(std::int32_t micCount, std::int32_t rowCount);

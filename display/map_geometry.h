#pragma once
// The map's own geometry: one interior pixel per data cell inside a 2-pixel border, and the ticks
// of its scale. All in pixels.

#include <cstdint>

#include "draw_error.h"

inline constexpr int kPictureBorder = 2;  // pixels a side
inline constexpr int kTickLength = 5;
inline constexpr int kTickLabelRise = 5;
// The least room right of the picture for the time scale's ticks and labels.
inline constexpr int kScaleRoom = 35;
// Largest window or picture side, in pixels, that the toolkit accepts.
inline constexpr std::int64_t kMaxSide = 16777215;

struct MapGeometry {
  std::int32_t micCount;
  std::int32_t rowCount;
  std::int32_t pictureOuterWidth;   // micCount + the border
  std::int32_t pictureOuterHeight;  // rowCount + the border
};

// Throws DrawError when a side exceeds what the toolkit accepts.
MapGeometry ComputeMapGeometry(std::int32_t micCount, std::int32_t rowCount);

// A side of `value` pixels, checked against kMaxSide; `what` names it in the message.
std::int32_t CheckedSide(std::int64_t value, const char* what);

#include "window_layout.h"

#include <algorithm>

WindowLayout ComputeWindowLayout(const MapGeometry& map) {
  WindowLayout layout{};
  layout.pictureOuterWidth = map.pictureOuterWidth;
  layout.pictureOuterHeight = map.pictureOuterHeight;
  layout.clientWidth =
      std::max(CheckedSide(std::int64_t{map.pictureOuterWidth} + kScaleRoom, "a width"),
               design::kMinClientWidth);
  layout.clientHeight =
      CheckedSide(std::int64_t{map.pictureOuterHeight} + kRoomAroundPicture, "a height");
  layout.textWidth = CheckedSide(std::int64_t{map.micCount} + kTextBeyondColumns, "a width");
  return layout;
}

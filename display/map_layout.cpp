#include "map_layout.h"

#include <algorithm>
#include <string>

namespace {
std::int32_t Side(std::int64_t value, const char* what) {
  if (value > kMaxSide) {
    throw DrawError(std::string("the map is too large to show (") + what + " of " +
                    std::to_string(value) + " pixels)");
  }
  return static_cast<std::int32_t>(value);
}
}  // namespace

MapLayout ComputeMapLayout(std::int32_t micCount, std::int32_t rowCount) {
  const std::int64_t mic = micCount;
  const std::int64_t rows = rowCount;
  MapLayout layout{};
  layout.pictureOuterWidth = Side(mic + 2 * kPictureBorder, "a width");
  layout.pictureOuterHeight = Side(rows + 2 * kPictureBorder, "a height");
  layout.clientWidth = std::max(Side(std::int64_t{layout.pictureOuterWidth} + 35, "a width"),
                                design::kMinClientWidth);
  layout.clientHeight = Side(std::int64_t{layout.pictureOuterHeight} + 90, "a height");
  layout.textWidth = Side(mic + 29, "a width");
  return layout;
}

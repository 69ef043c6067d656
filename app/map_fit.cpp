#include "map_fit.h"

#include <algorithm>

namespace {
// The smallest picture still showing one interior pixel.
constexpr std::int32_t kSmallestPicture = 2 * kPictureBorder + 1;
}  // namespace

MapFit FitMap(const WindowLayout& layout, std::int32_t availableWidth, std::int32_t availableHeight,
              std::int32_t barExtent) {
  MapFit fit{layout.clientWidth,
             layout.clientHeight,
             layout.pictureOuterWidth,
             layout.pictureOuterHeight,
             false,
             false};
  fit.scrollsY = layout.clientHeight > availableHeight;
  const std::int64_t wantedWidth =
      std::int64_t{layout.clientWidth} + (fit.scrollsY ? barExtent : 0);
  fit.scrollsX = wantedWidth > availableWidth;

  if (fit.scrollsY) {
    fit.clientHeight = availableHeight;
    const std::int32_t around = layout.clientHeight - layout.pictureOuterHeight;
    fit.pictureHeight = std::max(availableHeight - around, kSmallestPicture);
  }
  fit.clientWidth = static_cast<std::int32_t>(std::min<std::int64_t>(wantedWidth, availableWidth));
  if (fit.scrollsX) {
    const std::int32_t around =
        layout.clientWidth - layout.pictureOuterWidth + (fit.scrollsY ? barExtent : 0);
    fit.pictureWidth = std::max(availableWidth - around, kSmallestPicture);
  }
  return fit;
}

std::int32_t ScrollRange(std::int32_t total, std::int32_t shownOuter) {
  return std::max(0, total - std::max(0, shownOuter - 2 * kPictureBorder));
}

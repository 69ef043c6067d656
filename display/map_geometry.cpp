#include "map_geometry.h"

#include <string>

std::int32_t CheckedSide(std::int64_t value, const char* what) {
  if (value > kMaxSide) {
    throw DrawError(std::string("the map is too large to show (") + what + " of " +
                    std::to_string(value) + " pixels)");
  }
  return static_cast<std::int32_t>(value);
}

MapGeometry ComputeMapGeometry(std::int32_t micCount, std::int32_t rowCount) {
  return {micCount, rowCount, CheckedSide(std::int64_t{micCount} + 2 * kPictureBorder, "a width"),
          CheckedSide(std::int64_t{rowCount} + 2 * kPictureBorder, "a height")};
}

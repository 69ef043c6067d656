#include "picture_limit.h"

#include <cstdio>

std::optional<std::string> PictureLimitFault(std::int64_t width, std::int64_t height,
                                             int bytesPerPixel) {
  // Each factor is at most a side of int range and a small byte count: no overflow in 64 bits.
  const double bytes = static_cast<double>(width) * static_cast<double>(height) * bytesPerPixel;
  if (width >= 0 && height >= 0 && bytes <= static_cast<double>(kMaxPictureBytes)) {
    return std::nullopt;
  }
  char size[64];
  std::snprintf(size, sizeof size, "%.1f GiB", bytes / static_cast<double>(kMaxPictureBytes));
  return "the picture would be " + std::to_string(width) + " × " + std::to_string(height) +
         " pixels (" + size + "), more than the 1 GiB a picture may take";
}

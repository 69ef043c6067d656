// The bytes a picture may take, apart from the rest of picture_limit.h: the renderer checks them
// without Qt Gui.
#include <cstdint>
#include <optional>
#include <string>

#include "picture_limit.h"

std::optional<std::string> PictureSizeFault(std::int64_t width, std::int64_t height,
                                            int bytesPerPixel) {
  const std::int64_t limit = kMaxPictureBytes / bytesPerPixel;
  if (width <= 0 || height <= 0 || width <= limit / height) return std::nullopt;
  const double mebibytes =
      static_cast<double>(width) * static_cast<double>(height) * bytesPerPixel / (1024.0 * 1024.0);
  return "the picture of " + std::to_string(width) + " x " + std::to_string(height) +
         " pixels would take " + std::to_string(static_cast<std::int64_t>(mebibytes)) +
         " MiB, more than the " + std::to_string(kMaxPictureBytes >> 20) + " MiB allowed";
}

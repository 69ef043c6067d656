#include "picture_limit.h"

#include <algorithm>
#include <limits>

#include "draw_error.h"

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

void CheckViewImageSize(QSize greysSize, Zoom zoom, Palette palette, bool legend,
                        const LegendFacts& facts) {
  // The zoomed cells in 64 bits: count x in, or ceil(count / out).
  const auto side = [&zoom](std::int64_t count) {
    return zoom.out > 1 ? (count + zoom.out - 1) / zoom.out : count * std::max(zoom.in, 1);
  };
  std::int64_t width = side(greysSize.width());
  std::int64_t height = side(greysSize.height());
  const bool grey = palette == Palette::Grey && !legend;
  if (legend) {
    constexpr std::int64_t kLargest = std::numeric_limits<int>::max();
    const ViewFrame frame = FrameView(QSize(static_cast<int>(std::min(width, kLargest)),
                                            static_cast<int>(std::min(height, kLargest))),
                                      facts);
    width += frame.size.width() - frame.cells.width();
    height += frame.size.height() - frame.cells.height();
  }
  if (const auto fault = PictureSizeFault(width, height, grey ? 1 : 3)) throw DrawError(*fault);
}

#include "grey_surface.h"

#include <new>

#include "draw_error.h"
#include "initial_image.h"

void GreySurface::Clear(std::int32_t micCount, std::int32_t rowCount) {
  const bool empty = micCount <= 0 || rowCount <= 0;
  width_ = empty ? 0 : micCount;
  height_ = empty ? 0 : rowCount;
  try {
    greys_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_),
                  static_cast<std::uint8_t>(kPictureBackground));
  } catch (const std::bad_alloc&) {
    throw DrawError("there is not enough memory for the picture");
  }
  columns_.Reset(empty ? nullptr : greys_.data(), width_, width_, height_);
}

PngPixels GreySurface::Pixels() {
  columns_.Flush();
  return {greys_.empty() ? nullptr : greys_.data(), width_, width_, height_, PngColour::Grey};
}

#include "image_surface.h"

#include "blank_map.h"

void ImageSurface::Clear(std::int32_t micCount, std::int32_t rowCount) {
  image_ = BlankMap(micCount, rowCount);
  // Taken once: bits() detaches, which is not something to do once per cell.
  bits_ = image_.isNull() ? nullptr : image_.bits();
  stride_ = image_.bytesPerLine();
}

void ImageSurface::PaintColumn(std::int32_t column, std::span<const std::uint8_t> greys) {
  uchar* pixel = bits_ + (column - 1);
  for (const std::uint8_t grey : greys) {
    *pixel = grey;
    pixel += stride_;
  }
}

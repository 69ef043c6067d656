#include "image_surface.h"

#include "blank_map.h"

void ImageSurface::Clear(std::int32_t micCount, std::int32_t rowCount) {
  image_ = BlankMap(micCount, rowCount);
  // Taken once: bits() detaches, which is not something to do once per cell.
  columns_.Reset(image_.isNull() ? nullptr : image_.bits(), image_.bytesPerLine(), image_.width(),
                 image_.height());
}

const QImage& ImageSurface::Image() {
  columns_.Flush();
  return image_;
}

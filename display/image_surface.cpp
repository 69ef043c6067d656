#include "image_surface.h"

#include "initial_image.h"

void ImageSurface::Clear(std::int32_t micCount, std::int32_t rowCount) {
  image_ = QImage();
  bits_ = nullptr;
  if (micCount <= 0 || rowCount <= 0) return;
  image_ = QImage(micCount, rowCount, QImage::Format_Grayscale8);
  if (image_.isNull()) throw DrawError("there is not enough memory for the picture");
  image_.fill(QColor(kPictureBackground, kPictureBackground, kPictureBackground));
  // Taken once: bits() detaches, which is not something to do once per cell.
  bits_ = image_.bits();
  stride_ = image_.bytesPerLine();
  bits_[0] = static_cast<uchar>(qGray(InitialImage().pixel(0, 0)));
}

void ImageSurface::PaintColumn(std::int32_t column, std::span<const std::uint8_t> greys) {
  uchar* pixel = bits_ + (column - 1);
  for (const std::uint8_t grey : greys) {
    *pixel = grey;
    pixel += stride_;
  }
}

#include "image_surface.h"

#include <QPainter>

#include "initial_image.h"

void ImageSurface::Clear(std::int32_t micCount, std::int32_t rowCount) {
  if (micCount <= 0 || rowCount <= 0) {
    image_ = QImage();
    return;
  }
  image_ = QImage(micCount, rowCount, QImage::Format_Grayscale8);
  if (image_.isNull()) throw DrawError("there is not enough memory for the picture");
  image_.fill(QColor(kPictureBackground, kPictureBackground, kPictureBackground));
  image_.scanLine(0)[0] = static_cast<uchar>(qGray(InitialImage().pixel(0, 0)));
}

void ImageSurface::PaintColumn(std::int32_t column, std::span<const std::uint8_t> greys) {
  const int x = column - 1;
  for (std::size_t r = 0; r < greys.size(); ++r) {
    image_.scanLine(static_cast<int>(r))[x] = greys[r];
  }
}

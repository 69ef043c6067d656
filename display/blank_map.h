#pragma once
// A map before any column is painted: every cell the picture's background, the initial image's
// grey on the first. The window's picture and the renderer's image both start so.

#include <QImage>
#include <cstdint>

#include "draw_error.h"
#include "initial_image.h"

// width x height greys (Format_Grayscale8); a null image when either side is 0. Throws DrawError
// when memory runs out.
inline QImage BlankMap(std::int32_t width, std::int32_t height) {
  if (width <= 0 || height <= 0) return {};
  QImage greys(width, height, QImage::Format_Grayscale8);
  if (greys.isNull()) throw DrawError("there is not enough memory for the picture");
  greys.fill(static_cast<uint>(kPictureBackground));
  greys.bits()[0] = static_cast<uchar>(qGray(InitialImage().pixel(0, 0)));
  return greys;
}

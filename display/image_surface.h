#pragma once
// A map surface without a window: the picture interior as an 8-bit greyscale image. The scale is
// not part of it.

#include <QImage>

#include "map_surface.h"

class ImageSurface : public MapSurface {
 public:
  void Clear(std::int32_t micCount, std::int32_t rowCount) override;
  void DrawTick(float, int) override {}  // the image holds the cells only
  void PaintColumn(std::int32_t column, std::span<const std::uint8_t> greys) override;
  void Yield() override {}

  // MicCount x RowCount pixels, Format_Grayscale8; null when either count is 0.
  const QImage& Image() const { return image_; }

 private:
  QImage image_;
  uchar* bits_ = nullptr;
  qsizetype stride_ = 0;
};

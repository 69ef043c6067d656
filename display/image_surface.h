#pragma once
// A map surface without a window: the picture interior as an 8-bit greyscale image. The scale is
// not part of it.

#include <QImage>
#include <cstdint>

#include "column_gather.h"
#include "map_surface.h"

class ImageSurface : public MapSurface {
 public:
  void Clear(std::int32_t micCount, std::int32_t rowCount) override;
  void DrawTick(float, int) override {}  // the image holds the cells only
  void PaintColumn(std::int32_t column, std::span<const std::uint8_t> greys) override {
    columns_.Paint(column, greys);
  }
  void Yield() override {}

  // MicCount x RowCount pixels, Format_Grayscale8, with every painted column; null when either
  // count is 0.
  const QImage& Image();

 private:
  QImage image_;
  ColumnGatherer columns_;
};

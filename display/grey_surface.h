#pragma once
// A map surface without Qt: the picture interior as 8-bit greys, row after row. The renderer's
// pictures of one pixel per cell in the grey palette are these bytes as they are, written by the
// PNG writer without Qt Gui.

#include <cstdint>
#include <vector>

#include "column_gather.h"
#include "map_surface.h"
#include "png_writer.h"

class GreySurface : public MapSurface {
 public:
  // Every cell the picture's background until its column is painted. Throws DrawError when
  // memory runs out.
  void Clear(std::int32_t micCount, std::int32_t rowCount) override;
  void DrawTick(float, int) override {}  // the pixels hold the cells only
  void PaintColumn(std::int32_t column, std::span<const std::uint8_t> greys) override {
    columns_.Paint(column, greys);
  }
  void Yield() override {}

  // MicCount x RowCount greys with every painted column; no pixels when either count is 0.
  PngPixels Pixels();

 private:
  std::vector<std::uint8_t> greys_;
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  ColumnGatherer columns_;
};

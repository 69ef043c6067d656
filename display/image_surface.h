#pragma once
// A map surface without a window: the picture interior as an 8-bit greyscale image. The scale is
// not part of it.

#include <QImage>
#include <cstdint>
#include <vector>

#include "map_surface.h"

class ImageSurface : public MapSurface {
 public:
  void Clear(std::int32_t micCount, std::int32_t rowCount) override;
  void DrawTick(float, int) override {}  // the image holds the cells only
  void PaintColumn(std::int32_t column, std::span<const std::uint8_t> greys) override;
  void Yield() override {}

  // MicCount x RowCount pixels, Format_Grayscale8, with every painted column; null when either
  // count is 0.
  const QImage& Image();

 private:
  // Columns are gathered in blocks as wide as a cache line and then copied into the image a tile
  // at a time: written one at a time, a column would touch every row's cache line once per cell.
  static constexpr int kBlock = 64;
  void Flush();

  QImage image_;
  uchar* bits_ = nullptr;
  qsizetype stride_ = 0;
  std::vector<std::uint8_t> block_;  // kBlock columns of the image's height, one after another
  int blockFirst_ = 0;               // the 0-based column of the block's first
  std::uint64_t gathered_ = 0;       // bit k: column blockFirst_ + k is in block_
};

#include "image_surface.h"

#include <algorithm>
#include <cstring>

#include "blank_map.h"

void ImageSurface::Clear(std::int32_t micCount, std::int32_t rowCount) {
  gathered_ = 0;
  block_.clear();
  image_ = BlankMap(micCount, rowCount);
  // Taken once: bits() detaches, which is not something to do once per cell.
  bits_ = image_.isNull() ? nullptr : image_.bits();
  stride_ = image_.bytesPerLine();
}

void ImageSurface::PaintColumn(std::int32_t column, std::span<const std::uint8_t> greys) {
  const int x = column - 1;
  if (bits_ == nullptr || x < 0 || x >= image_.width()) return;
  const auto rows = static_cast<std::size_t>(image_.height());
  if (gathered_ != 0 && x / kBlock * kBlock != blockFirst_) Flush();
  if (greys.size() < rows) {
    // A short column keeps the rows below it: written straight into the image.
    Flush();
    for (std::size_t r = 0; r < greys.size(); ++r)
      bits_[static_cast<qsizetype>(r) * stride_ + x] = greys[r];
    return;
  }
  if (block_.empty()) block_.resize(kBlock * rows);
  blockFirst_ = x / kBlock * kBlock;
  std::memcpy(block_.data() + static_cast<std::size_t>(x - blockFirst_) * rows, greys.data(), rows);
  gathered_ |= std::uint64_t{1} << (x - blockFirst_);
  if (x == image_.width() - 1 || x - blockFirst_ == kBlock - 1) Flush();
}

const QImage& ImageSurface::Image() {
  Flush();
  return image_;
}

void ImageSurface::Flush() {
  if (gathered_ == 0) return;
  const auto rows = static_cast<std::size_t>(image_.height());
  // Tiles of kBlock rows: the block's reads and the image's writes both stay within a few
  // dozen cache lines.
  for (std::size_t top = 0; top < rows; top += kBlock) {
    const std::size_t bottom = std::min(rows, top + kBlock);
    for (int k = 0; k < kBlock; ++k) {
      if ((gathered_ >> k & 1) == 0) continue;
      const std::uint8_t* from = block_.data() + static_cast<std::size_t>(k) * rows;
      uchar* to = bits_ + blockFirst_ + k;
      for (std::size_t r = top; r < bottom; ++r) to[static_cast<qsizetype>(r) * stride_] = from[r];
    }
  }
  gathered_ = 0;
}

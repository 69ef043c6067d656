#pragma once
// Columns of greys copied into a row-major 8-bit image. Written one at a time, a column would
// touch every row's cache line once per cell; so columns are gathered in blocks as wide as a cache
// line and copied a tile at a time, sixteen by sixteen cells through a vector transpose.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

class ColumnGatherer {
 public:
  // The image the columns go to: width x height bytes, rows stride bytes apart; null for none.
  void Reset(std::uint8_t* bits, std::ptrdiff_t stride, int width, int height);
  // Greys of the top rows of 1-based column `column`; a column outside the image is ignored, a
  // short one keeps the rows below it.
  void Paint(std::int32_t column, std::span<const std::uint8_t> greys);
  // Copies what is gathered into the image.
  void Flush();

 private:
  static constexpr int kBlock = 64;

  std::uint8_t* bits_ = nullptr;
  std::ptrdiff_t stride_ = 0;
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint8_t> block_;  // kBlock columns of the image's height, one after another
  int blockFirst_ = 0;               // the 0-based column of the block's first
  std::uint64_t gathered_ = 0;       // bit k: column blockFirst_ + k is in block_
};

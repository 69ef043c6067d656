#include "column_gather.h"

#include <emmintrin.h>

#include <algorithm>
#include <cstring>

namespace {

// Sixteen columns of sixteen cells (column i at from + i x columnStep, its cells consecutive)
// written as sixteen rows of sixteen pixels (row j at to + j x stride): the byte transpose in four
// rounds of interleaving, 8, 16, 32 and 64 bits wide.
void TransposeSixteen(const std::uint8_t* from, std::size_t columnStep, std::uint8_t* to,
                      std::ptrdiff_t stride) {
  __m128i a[16], b[16];
  for (std::size_t i = 0; i < 16; ++i) {
    a[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i * columnStep));
  }
  for (int i = 0; i < 16; i += 2) {  // b[i], b[i + 1]: columns i, i + 1 interleaved
    b[i] = _mm_unpacklo_epi8(a[i], a[i + 1]);
    b[i + 1] = _mm_unpackhi_epi8(a[i], a[i + 1]);
  }
  for (int g = 0; g < 16; g += 4) {  // a[g + m]: rows 4m to 4m + 3 of columns g to g + 3
    a[g] = _mm_unpacklo_epi16(b[g], b[g + 2]);
    a[g + 1] = _mm_unpackhi_epi16(b[g], b[g + 2]);
    a[g + 2] = _mm_unpacklo_epi16(b[g + 1], b[g + 3]);
    a[g + 3] = _mm_unpackhi_epi16(b[g + 1], b[g + 3]);
  }
  for (int h = 0; h < 16; h += 8) {  // b[h + q]: rows 2q, 2q + 1 of columns h to h + 7
    for (int m = 0; m < 4; ++m) {
      b[h + 2 * m] = _mm_unpacklo_epi32(a[h + m], a[h + 4 + m]);
      b[h + 2 * m + 1] = _mm_unpackhi_epi32(a[h + m], a[h + 4 + m]);
    }
  }
  for (int q = 0; q < 8; ++q) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + (2 * q) * stride),
                     _mm_unpacklo_epi64(b[q], b[8 + q]));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + (2 * q + 1) * stride),
                     _mm_unpackhi_epi64(b[q], b[8 + q]));
  }
}

}  // namespace

void ColumnGatherer::Reset(std::uint8_t* bits, std::ptrdiff_t stride, int width, int height) {
  bits_ = bits;
  stride_ = stride;
  width_ = width;
  height_ = height;
  gathered_ = 0;
  block_.clear();
}

void ColumnGatherer::Paint(std::int32_t column, std::span<const std::uint8_t> greys) {
  const int x = column - 1;
  if (bits_ == nullptr || x < 0 || x >= width_) return;
  const auto rows = static_cast<std::size_t>(height_);
  if (gathered_ != 0 && x / kBlock * kBlock != blockFirst_) Flush();
  if (greys.size() < rows) {
    // A short column keeps the rows below it: written straight into the image.
    Flush();
    for (std::size_t r = 0; r < greys.size(); ++r)
      bits_[static_cast<std::ptrdiff_t>(r) * stride_ + x] = greys[r];
    return;
  }
  if (block_.empty()) block_.resize(kBlock * rows);
  blockFirst_ = x / kBlock * kBlock;
  std::memcpy(block_.data() + static_cast<std::size_t>(x - blockFirst_) * rows, greys.data(), rows);
  gathered_ |= std::uint64_t{1} << (x - blockFirst_);
  if (x == width_ - 1 || x - blockFirst_ == kBlock - 1) Flush();
}

void ColumnGatherer::Flush() {
  if (gathered_ == 0) return;
  const auto rows = static_cast<std::size_t>(height_);
  // Sixteen gathered columns at a time through the vector transpose, sixteen rows at a time;
  // the rest cell by cell. Tiles of kBlock rows keep the block's reads and the image's writes
  // within a few dozen cache lines.
  for (std::size_t top = 0; top < rows; top += kBlock) {
    const std::size_t bottom = std::min(rows, top + kBlock);
    for (int k = 0; k < kBlock; ++k) {
      if ((gathered_ >> k & 1) == 0) continue;
      const std::uint8_t* from = block_.data() + static_cast<std::size_t>(k) * rows;
      std::uint8_t* to = bits_ + blockFirst_ + k;
      std::size_t r = top;
      if (k % 16 == 0 && (gathered_ >> k & 0xffff) == 0xffff) {
        for (; r + 16 <= bottom; r += 16) {
          TransposeSixteen(from + r, rows, to + static_cast<std::ptrdiff_t>(r) * stride_, stride_);
        }
        if (r == bottom) {
          k += 15;  // all sixteen columns done
          continue;
        }
        // The last rows of the tile, column by column.
        for (int j = 0; j < 16; ++j) {
          for (std::size_t q = r; q < bottom; ++q) {
            to[static_cast<std::ptrdiff_t>(q) * stride_ + j] =
                from[static_cast<std::size_t>(j) * rows + q];
          }
        }
        k += 15;
        continue;
      }
      for (; r < bottom; ++r) to[static_cast<std::ptrdiff_t>(r) * stride_] = from[r];
    }
  }
  gathered_ = 0;
}

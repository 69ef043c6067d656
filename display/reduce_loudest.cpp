#include "reduce_loudest.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <stdexcept>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// The byte-wise minimum is written out with SSE2 (part of every x86-64 processor) rather than left
// to the compiler, which vectorises these loops at -O3 but not at the -O2 of many builds: there
// they run twenty times slower.
#if defined(__SSE2__)
__m128i Load(const std::uint8_t* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// The smallest of a vector's 16 bytes.
std::uint8_t SmallestByte(__m128i v) {
  v = _mm_min_epu8(v, _mm_srli_si128(v, 8));
  v = _mm_min_epu8(v, _mm_srli_si128(v, 4));
  v = _mm_min_epu8(v, _mm_srli_si128(v, 2));
  v = _mm_min_epu8(v, _mm_srli_si128(v, 1));
  return static_cast<std::uint8_t>(_mm_cvtsi128_si32(v) & 0xFF);
}

// Of 32 bytes, the smaller of each pair, in order.
__m128i PairMinimums(__m128i low, __m128i high) {
  const __m128i evenBytes = _mm_set1_epi16(0x00FF);
  const __m128i lowPairs = _mm_min_epu8(_mm_and_si128(low, evenBytes), _mm_srli_epi16(low, 8));
  const __m128i highPairs = _mm_min_epu8(_mm_and_si128(high, evenBytes), _mm_srli_epi16(high, 8));
  return _mm_packus_epi16(lowPairs, highPairs);
}
#endif

// column[i] = min(column[i], row[i]) for the whole row.
void MinInto(std::uint8_t* __restrict column, const std::uint8_t* __restrict row, int width) {
  int i = 0;
#if defined(__SSE2__)
  for (; i + 16 <= width; i += 16) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(column + i),
                     _mm_min_epu8(Load(column + i), Load(row + i)));
  }
#endif
  for (; i < width; ++i) column[i] = std::min(column[i], row[i]);
}

std::uint8_t MinOf(const std::uint8_t* cells, std::int64_t count) {
  std::uint8_t m = 255;
  std::int64_t i = 0;
#if defined(__SSE2__)
  if (count >= 16) {
    __m128i smallest = Load(cells);
    for (i = 16; i + 16 <= count; i += 16) smallest = _mm_min_epu8(smallest, Load(cells + i));
    m = SmallestByte(smallest);
  }
#endif
  for (; i < count; ++i) m = std::min(m, cells[i]);
  return m;
}

// target[x] = the smallest of row[x * N .. x * N + N - 1] for `blocks` whole blocks.
template <int N>
void MinAcrossBlocks(const std::uint8_t* __restrict row, std::uint8_t* __restrict target,
                     int blocks) {
  int x = 0;
#if defined(__SSE2__)
  if constexpr (N == 2 || N == 4) {
    // Pairs of 32 bytes give 16 minimums; for N = 4, pairs of those again.
    for (; x + 16 <= blocks; x += 16) {
      const std::uint8_t* cells = row + std::int64_t{x} * N;
      __m128i minimums = PairMinimums(Load(cells), Load(cells + 16));
      if constexpr (N == 4) {
        minimums = PairMinimums(minimums, PairMinimums(Load(cells + 32), Load(cells + 48)));
      }
      _mm_storeu_si128(reinterpret_cast<__m128i*>(target + x), minimums);
    }
  }
#endif
  for (; x < blocks; ++x) {
    std::uint8_t m = row[x * N];
    for (int k = 1; k < N; ++k) m = std::min(m, row[x * N + k]);
    target[x] = m;
  }
}

// target[x] = the smallest of each run of `out` cells of row (width cells), the last run possibly
// shorter.
void MinAcross(const std::uint8_t* row, int width, int out, std::uint8_t* target) {
  const int blocks = width / out;
  switch (out) {
    case 2:
      MinAcrossBlocks<2>(row, target, blocks);
      break;
    case 3:
      MinAcrossBlocks<3>(row, target, blocks);
      break;
    case 4:
      MinAcrossBlocks<4>(row, target, blocks);
      break;
    default:
      for (int x = 0; x < blocks; ++x) target[x] = MinOf(row + std::int64_t{x} * out, out);
  }
  const std::int64_t done = std::int64_t{blocks} * out;
  if (done < width) target[blocks] = MinOf(row + done, width - done);
}

}  // namespace

QImage ReduceLoudest(const QImage& greys, int out) {
  return ReduceLoudest(greys, out, out);
}

QImage ReduceLoudest(const QImage& greys, int outX, int outY) {
  if (outX < 1 || outY < 1)
    throw std::invalid_argument("ReduceLoudest: the reduction factor is below 1");
  const QImage::Format format = greys.format();
  if (greys.isNull()) return {};
  if (format != QImage::Format_Indexed8 && format != QImage::Format_Grayscale8) {
    throw std::invalid_argument("ReduceLoudest: the image is not one byte per cell");
  }
  if (outX == 1 && outY == 1) return greys;

  const int width = greys.width();
  const int height = greys.height();
  const int reducedWidth = (width - 1) / outX + 1;
  const int reducedHeight = (height - 1) / outY + 1;
  QImage reduced(reducedWidth, reducedHeight, format);
  if (reduced.isNull()) throw std::bad_alloc();
  if (format == QImage::Format_Indexed8) reduced.setColorTable(greys.colorTable());

  // Per output row: the running minimum of its outY input rows, then of each outX columns.
  std::vector<std::uint8_t> rowMin(static_cast<std::size_t>(width));
  for (int y = 0; y < reducedHeight; ++y) {
    const int first = y * outY;
    const int last = static_cast<int>(std::min<std::int64_t>(height, std::int64_t{first} + outY));
    std::memcpy(rowMin.data(), greys.constScanLine(first), rowMin.size());
    for (int r = first + 1; r < last; ++r) MinInto(rowMin.data(), greys.constScanLine(r), width);

    if (outX == 1) {
      std::memcpy(reduced.scanLine(y), rowMin.data(), rowMin.size());
    } else {
      MinAcross(rowMin.data(), width, outX, reduced.scanLine(y));
    }
  }
  return reduced;
}

#include "reduce_loudest.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <stdexcept>
#include <vector>

namespace {

// column[i] = min(column[i], row[i]) for the whole row; simple enough for the compiler to
// vectorise.
void MinInto(std::uint8_t* __restrict column, const std::uint8_t* __restrict row, int width) {
  for (int i = 0; i < width; ++i) column[i] = std::min(column[i], row[i]);
}

std::uint8_t MinOf(const std::uint8_t* cells, std::int64_t count) {
  std::uint8_t m = 255;
  for (std::int64_t i = 0; i < count; ++i) m = std::min(m, cells[i]);
  return m;
}

// target[x] = the smallest of row[x * N .. x * N + N - 1] for `blocks` whole blocks; N known to the
// compiler, so that the small factors (the first steps below 1:1) vectorise too.
template <int N>
void MinAcrossBlocks(const std::uint8_t* __restrict row, std::uint8_t* __restrict target,
                     int blocks) {
  for (int x = 0; x < blocks; ++x) {
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
  if (out < 1) throw std::invalid_argument("ReduceLoudest: the reduction factor is below 1");
  const QImage::Format format = greys.format();
  if (greys.isNull()) return {};
  if (format != QImage::Format_Indexed8 && format != QImage::Format_Grayscale8) {
    throw std::invalid_argument("ReduceLoudest: the image is not one byte per cell");
  }
  if (out == 1) return greys;

  const int width = greys.width();
  const int height = greys.height();
  const int reducedWidth = (width - 1) / out + 1;
  const int reducedHeight = (height - 1) / out + 1;
  QImage reduced(reducedWidth, reducedHeight, format);
  if (reduced.isNull()) throw std::bad_alloc();
  if (format == QImage::Format_Indexed8) reduced.setColorTable(greys.colorTable());

  // Per output row: the running minimum of its `out` input rows, then of each `out` columns.
  std::vector<std::uint8_t> rowMin(static_cast<std::size_t>(width));
  for (int y = 0; y < reducedHeight; ++y) {
    const int first = y * out;
    const int last = static_cast<int>(std::min<std::int64_t>(height, std::int64_t{first} + out));
    std::memcpy(rowMin.data(), greys.constScanLine(first), rowMin.size());
    for (int r = first + 1; r < last; ++r) MinInto(rowMin.data(), greys.constScanLine(r), width);

    MinAcross(rowMin.data(), width, out, reduced.scanLine(y));
  }
  return reduced;
}

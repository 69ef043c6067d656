#include "png_filters.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

enum Filter : unsigned char { kNone = 0, kSub = 1, kUp = 2, kAverage = 3, kPaeth = 4 };

constexpr unsigned char kNoneType = kNone;

unsigned char PaethPredictor(int left, int above, int aboveLeft) {
  const int estimate = left + above - aboveLeft;
  const int toLeft = std::abs(estimate - left);
  const int toAbove = std::abs(estimate - above);
  const int toAboveLeft = std::abs(estimate - aboveLeft);
  if (toLeft <= toAbove && toLeft <= toAboveLeft) return static_cast<unsigned char>(left);
  if (toAbove <= toAboveLeft) return static_cast<unsigned char>(above);
  return static_cast<unsigned char>(aboveLeft);
}

// Writes row filtered by filter into out (without the type byte); previous is not empty. One
// loop per filter, so that each vectorises or at least runs without a branch per byte.
void Apply(Filter filter, std::size_t bpp, const unsigned char* row, const unsigned char* previous,
           std::size_t n, unsigned char* out) {
  const std::size_t head = bpp < n ? bpp : n;
  switch (filter) {
    case kNone:
      std::memcpy(out, row, n);
      return;
    case kSub:
      std::memcpy(out, row, head);
      for (std::size_t i = bpp; i < n; ++i)
        out[i] = static_cast<unsigned char>(row[i] - row[i - bpp]);
      return;
    case kUp:
      for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<unsigned char>(row[i] - previous[i]);
      return;
    case kAverage:
      for (std::size_t i = 0; i < head; ++i)
        out[i] = static_cast<unsigned char>(row[i] - previous[i] / 2);
      for (std::size_t i = bpp; i < n; ++i) {
        out[i] = static_cast<unsigned char>(row[i] - (row[i - bpp] + previous[i]) / 2);
      }
      return;
    case kPaeth:
      for (std::size_t i = 0; i < head; ++i)
        out[i] = static_cast<unsigned char>(row[i] - previous[i]);
      for (std::size_t i = bpp; i < n; ++i) {
        out[i] = static_cast<unsigned char>(
            row[i] - PaethPredictor(row[i - bpp], previous[i], previous[i - bpp]));
      }
      return;
  }
}

std::uint64_t SignedMagnitudes(const unsigned char* bytes, std::size_t n) {
  std::uint64_t sum = 0;
  for (std::size_t i = 0; i < n; ++i) sum += bytes[i] < 128 ? bytes[i] : 256 - bytes[i];
  return sum;
}

}  // namespace

PngRowParts FilterPngRow(PngFilterRule rule, std::size_t bytesPerPixel,
                         std::span<const unsigned char> row,
                         std::span<const unsigned char> previous, std::span<unsigned char> out) {
  const std::size_t n = row.size();
  if (rule == PngFilterRule::NoneOrRepeat) {
    if (!previous.empty() && std::memcmp(row.data(), previous.data(), n) == 0) {
      out[0] = kUp;
      std::memset(out.data() + 1, 0, n);
      return {out.first(n + 1), {}};
    }
    return {std::span(&kNoneType, 1), row};
  }
  // Adaptive: out holds the best so far; the candidate is built in the space after it.
  std::uint64_t best = SignedMagnitudes(row.data(), n);
  Filter bestFilter = kNone;
  unsigned char* candidate = out.data() + 1 + n;
  for (const Filter filter : {kSub, kUp, kAverage, kPaeth}) {
    if (previous.empty() && filter != kSub) continue;  // the others equal None or Sub there
    Apply(filter, bytesPerPixel, row.data(), previous.data(), n, candidate);
    const std::uint64_t sum = SignedMagnitudes(candidate, n);
    if (sum < best) {
      best = sum;
      bestFilter = filter;
      std::memcpy(out.data() + 1, candidate, n);
    }
  }
  if (bestFilter == kNone) return {std::span(&kNoneType, 1), row};
  out[0] = bestFilter;
  return {out.first(n + 1), {}};
}

#include <immintrin.h>

#include <cstddef>
#include <cstring>

#include "grey.h"

namespace {

// GreyOf for several cells at a time: the same operations in double precision in the same order,
// a NaN noted instead of thrown, and the rounding to the nearest integer, ties to even, done by
// adding and taking away 2^52 (exact for 0 <= g <= 255 in the default rounding mode, which is
// ties to even). maxpd returns its second operand for a NaN, which makes the NaN's grey 0 here;
// the caller throws before it is used. Each returns how many cells it did.

__attribute__((target("avx2"))) std::size_t GreysAvx2(const float* levels, std::size_t count,
                                                      double peak, double range,
                                                      std::uint8_t* greys, bool& nan) {
  const __m256d p = _mm256_set1_pd(peak);
  const __m256d r = _mm256_set1_pd(range);
  const __m256d white = _mm256_set1_pd(255.0);
  const __m256d zero = _mm256_setzero_pd();
  const __m256d round = _mm256_set1_pd(4503599627370496.0);
  __m256d unordered = zero;
  std::size_t i = 0;
  for (; i + 4 <= count; i += 4) {
    const __m256d level = _mm256_cvtps_pd(_mm_loadu_ps(levels + i));
    const __m256d g = _mm256_div_pd(_mm256_mul_pd(_mm256_sub_pd(p, level), white), r);
    unordered = _mm256_or_pd(unordered, _mm256_cmp_pd(g, g, _CMP_UNORD_Q));
    const __m256d clamped = _mm256_min_pd(_mm256_max_pd(g, zero), white);
    const __m128i ints = _mm256_cvttpd_epi32(_mm256_sub_pd(_mm256_add_pd(clamped, round), round));
    const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(ints, ints), _mm_setzero_si128());
    const std::uint32_t four = static_cast<std::uint32_t>(_mm_cvtsi128_si32(bytes));
    std::memcpy(greys + i, &four, 4);
  }
  nan = nan || _mm256_movemask_pd(unordered) != 0;
  _mm256_zeroupper();
  return i;
}

std::size_t GreysSse2(const float* levels, std::size_t count, double peak, double range,
                      std::uint8_t* greys, bool& nan) {
  const __m128d p = _mm_set1_pd(peak);
  const __m128d r = _mm_set1_pd(range);
  const __m128d white = _mm_set1_pd(255.0);
  const __m128d zero = _mm_setzero_pd();
  const __m128d round = _mm_set1_pd(4503599627370496.0);
  __m128d unordered = zero;
  std::size_t i = 0;
  for (; i + 2 <= count; i += 2) {
    const __m128d level = _mm_cvtps_pd(
        _mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(levels + i))));
    const __m128d g = _mm_div_pd(_mm_mul_pd(_mm_sub_pd(p, level), white), r);
    unordered = _mm_or_pd(unordered, _mm_cmpunord_pd(g, g));
    const __m128d clamped = _mm_min_pd(_mm_max_pd(g, zero), white);
    const __m128i ints = _mm_cvttpd_epi32(_mm_sub_pd(_mm_add_pd(clamped, round), round));
    const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(ints, ints), _mm_setzero_si128());
    const auto two = static_cast<std::uint16_t>(_mm_cvtsi128_si32(bytes));
    std::memcpy(greys + i, &two, 2);
  }
  nan = nan || _mm_movemask_pd(unordered) != 0;
  return i;
}

}  // namespace

bool HasAvx2Greys() {
  static const bool avx2 = __builtin_cpu_supports("avx2");
  return avx2;
}

void GreysOf(std::span<const float> levels, float peak, float range, std::uint8_t* greys,
             bool avx2) {
  bool nan = false;
  const std::size_t count = levels.size();
  std::size_t done = avx2 ? GreysAvx2(levels.data(), count, peak, range, greys, nan)
                          : GreysSse2(levels.data(), count, peak, range, greys, nan);
  if (nan) throw DrawError("a grey value is not a number (is the dB range 0?)");
  for (; done < count; ++done) greys[done] = GreyOf(levels[done], peak, range);
}

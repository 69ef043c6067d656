#pragma once
// Grey of one cell: black (0) at the peak, white (255) RangeDb or more below it. Shared by the
// window and the headless renderer so that the two never disagree.

#include <cmath>
#include <cstdint>
#include <span>

#include "draw_error.h"
#include "rounding.h"

// g = (peak - level) x 255 / range in double precision, limited to 0..255, then rounded to the
// nearest integer with ties to even. Throws DrawError when g is not a number.
inline std::uint8_t GreyOf(float level, float peak, float range) {
  double g =
      (static_cast<double>(peak) - static_cast<double>(level)) * 255.0 / static_cast<double>(range);
  if (std::isnan(g)) throw DrawError("a grey value is not a number (is the dB range 0?)");
  if (g < 0.0) g = 0.0;
  if (g > 255.0) g = 255.0;
  return static_cast<std::uint8_t>(RoundHalfEven(g));
}

// The greys of a whole column, each exactly GreyOf(levels[i], peak, range), into greys (at least
// as long as levels), four cells at a time with AVX2 (when avx2, which needs HasAvx2Greys()),
// else two at a time. Throws DrawError when one is not a number, before greys is used.
bool HasAvx2Greys();
void GreysOf(std::span<const float> levels, float peak, float range, std::uint8_t* greys,
             bool avx2 = HasAvx2Greys());

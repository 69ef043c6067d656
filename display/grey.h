#pragma once
// Grey of one cell: black (0) at the peak, white (255) RangeDb or more below it. Shared by the
// window and the headless renderer so that the two never disagree.

#include <cmath>
#include <cstdint>

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

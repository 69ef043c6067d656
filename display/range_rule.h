#pragma once
// Which black-to-white spans a map can be painted with: any number that fits single precision,
// except 0 (every grey would be a division by zero). Negative spans paint black. The window and
// the renderer word a refusal their own way.

#include <cmath>
#include <limits>
#include <variant>

enum class RangeFault { TooLarge, Zero };

inline std::variant<float, RangeFault> RangeFromNumber(double value) {
  if (!(std::fabs(value) <= static_cast<double>(std::numeric_limits<float>::max()))) {
    return RangeFault::TooLarge;
  }
  const auto range = static_cast<float>(value);
  if (range == 0.0f) return RangeFault::Zero;
  return range;
}

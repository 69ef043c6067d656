#pragma once
// The one conversion from floating point to integer used everywhere: nearest integer, a half going
// to the even neighbour; a value that does not fit the target (or is not a number) is an error.

#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>

class RoundingOverflow : public std::runtime_error {
 public:
  explicit RoundingOverflow(double value);
};

// Nearest integer, ties to even, as a double (no range check).
inline double RoundHalfEven(double x) {
  double r = std::round(x);  // ties away from zero
  if (std::fabs(x - std::trunc(x)) == 0.5) r = 2.0 * std::round(x / 2.0);
  return r;
}

template <typename Int>
Int RoundToInt(double x) {
  static_assert(std::numeric_limits<Int>::is_integer && std::numeric_limits<Int>::is_signed);
  const double r = RoundHalfEven(x);
  // -min is a power of two and exact in a double, so the test holds for 64-bit targets too.
  constexpr double kMin = static_cast<double>(std::numeric_limits<Int>::min());
  if (!(r >= kMin && r < -kMin)) throw RoundingOverflow(x);
  return static_cast<Int>(r);
}

inline std::int32_t RoundToInt32(double x) {
  return RoundToInt<std::int32_t>(x);
}
inline std::int16_t RoundToInt16(double x) {
  return RoundToInt<std::int16_t>(x);
}

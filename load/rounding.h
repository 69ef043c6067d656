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
  explicit RoundingOverflow(const std::string& message) : std::runtime_error(message) {}
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

// RoundToInt32 of a count worked out from a file's fields. When it does not fit, the
// RoundingOverflow's message is description (which names the field and gives the value) followed
// by ", beyond the range of a 32-bit count".
std::int32_t RoundCountToInt32(double x, const std::string& description);

// x for messages, to 15 significant digits: enough for any number a file writes in decimal, few
// enough to hide the last-bit error of a quotient ("1e+300", "4000000000", "0.1").
std::string DecimalText(double x);

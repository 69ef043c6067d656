#include "decimal_number.h"

#include <charconv>
#include <cstdint>
#include <system_error>

namespace {

// Powers of ten that a double holds exactly.
constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kLargestExactPower = 22;
constexpr std::uint64_t kLargestExactInteger = std::uint64_t{1} << 53;
constexpr int kMostDigits = 19;  // any 19 digits fit 64 bits

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// When the digits make an integer m of at most 53 bits and the number is m * 10^p with
// |p| <= 22, both m and 10^|p| are exact doubles and one multiplication or division rounds their
// product or quotient correctly: the nearest double, as the general algorithm finds it.
bool ExactShortDecimal(const char* p, const char* end, double& value) {
  const bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  std::uint64_t mantissa = 0;
  int digits = 0;
  int power = 0;
  for (; p < end && IsDigit(*p); ++p, ++digits) mantissa = mantissa * 10 + (*p - '0');
  if (p < end && *p == '.') {
    for (++p; p < end && IsDigit(*p); ++p, ++digits, --power) mantissa = mantissa * 10 + (*p - '0');
  }
  if (digits > kMostDigits || mantissa > kLargestExactInteger) return false;
  if (p < end) {  // the exponent
    ++p;
    const bool negativeExponent = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    if (end - p > 3) return false;
    int exponent = 0;
    for (; p < end; ++p) exponent = exponent * 10 + (*p - '0');
    power += negativeExponent ? -exponent : exponent;
  }
  if (power < -kLargestExactPower || power > kLargestExactPower) return false;
  const auto m = static_cast<double>(mantissa);
  const double magnitude = power >= 0 ? m * kExactPowers[power] : m / kExactPowers[-power];
  value = negative ? -magnitude : magnitude;
  return true;
}

}  // namespace

bool DecimalToDouble(const char* begin, const char* end, double& value) {
  if (ExactShortDecimal(begin, end, value)) return true;
  if (*begin == '+') ++begin;  // from_chars takes no plus sign
  const auto result = std::from_chars(begin, end, value, std::chars_format::general);
  return result.ec == std::errc() && result.ptr == end;
}

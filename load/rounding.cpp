#include "rounding.h"

#include <cstdio>

namespace {
std::string Describe(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}
}  // namespace

RoundingOverflow::RoundingOverflow(double value)
    : std::runtime_error("the number " + Describe(value) + " is too large for an integer") {}

std::int32_t RoundCountToInt32(double x, const std::string& description) {
  try {
    return RoundToInt32(x);
  } catch (const RoundingOverflow&) {
    throw RoundingOverflow(description + ", beyond the range of a 32-bit count");
  }
}

std::string DecimalText(double x) {
  char text[64];
  std::snprintf(text, sizeof text, "%.15g", x);
  return text;
}

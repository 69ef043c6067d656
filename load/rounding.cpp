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

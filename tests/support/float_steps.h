#pragma once
// Distance between two floats of one sign in single-precision steps (units in the last place).

#include <bit>
#include <cstdint>
#include <cstdlib>

inline std::int64_t FloatSteps(float a, float b) {
  return std::abs(std::int64_t{std::bit_cast<std::int32_t>(a)} - std::bit_cast<std::int32_t>(b));
}

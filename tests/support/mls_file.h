#pragma once
// Complex-spectrum (.mls) file contents for tests, made by the format's writer.

#include <cmath>
#include <cstdint>
#include <vector>

#include "mls_writer.h"
#include "test_files.h"

// Header N = 2 x points and the microphone count, then every column's points in order. The
// columns must all have the same length.
std::vector<std::uint8_t> MlsBytes(const std::vector<std::vector<ComplexPoint>>& columns);
// The same with a header of your choice and raw points after it.
std::vector<std::uint8_t> MlsBytes(std::int32_t doubledPoints, std::int32_t micCount,
                                   const std::vector<ComplexPoint>& points);

// The level of a point by the format's rule, one step at a time: the squared magnitude summed in
// double precision and rounded to single, then 20 ln of it in double, rounded to single; 0 for a
// silent point.
inline float MlsLevelByRule(ComplexPoint point) {
  const double re = point.re;
  const double im = point.im;
  const float squared = static_cast<float>(re * re + im * im);
  if (squared == 0.0f) return 0.0f;
  return static_cast<float>(20.0 * std::log(static_cast<double>(squared)));
}

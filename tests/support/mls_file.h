#pragma once
// Builds complex-spectrum (.mls) files for tests.

#include <cstdint>
#include <utility>
#include <vector>

#include "test_files.h"

using ComplexPoint = std::pair<float, float>;

// Header N = 2 x points and the microphone count, then every column's points in order.
std::vector<std::uint8_t> MlsBytes(const std::vector<std::vector<ComplexPoint>>& columns);
// The same with a header of your choice and raw points after it.
std::vector<std::uint8_t> MlsBytes(std::int32_t doubledPoints, std::int32_t micCount,
                                   const std::vector<ComplexPoint>& points);

#pragma once
// Complex-spectrum (.mls) file contents for tests, made by the format's writer.

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

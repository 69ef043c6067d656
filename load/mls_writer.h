#pragma once
// The one writer of complex-spectrum (.mls) files, for the example generator, tests and
// benchmarks: int32 N (twice the points per microphone), int32 microphone count, then per
// microphone N/2 points of (re, im) float32, all little-endian.

#include <cstdint>
#include <functional>
#include <ostream>
#include <span>
#include <string>

struct ComplexPoint {
  float re = 0.0f;
  float im = 0.0f;
};

// Fills the points of microphone mic (0-based) in time order. Called once per microphone, in
// order, so a generator may carry state from one column to the next.
using MlsColumnFill = std::function<void(std::int32_t mic, std::span<ComplexPoint> column)>;

// Writes the header for micCount microphones of pointsPerMic points, then every column as fill
// gives it; only one column is held at a time. Throws std::invalid_argument when a count is
// negative or twice pointsPerMic does not fit the header. Check out's state for write errors.
void WriteMls(std::ostream& out, std::int32_t micCount, std::int32_t pointsPerMic,
              const MlsColumnFill& fill);
// The same into a new file at path; false when it cannot be created or written.
bool WriteMlsFile(const std::string& path, std::int32_t micCount, std::int32_t pointsPerMic,
                  const MlsColumnFill& fill);

// The two parts on their own, for files whose header and points disagree.
void WriteMlsHeader(std::ostream& out, std::int32_t doubledPoints, std::int32_t micCount);
void WriteMlsPoints(std::ostream& out, std::span<const ComplexPoint> points);

#pragma once
// Levels of complex-spectrum points, 20 ln(re^2 + im^2), many at a time. The squared magnitude is
// summed in double precision and rounded to single precision; its logarithm is taken in double
// precision (at most 1 ulp from the exact value) and the level rounded to single precision, so a
// level is within one single-precision ulp of the one-point-at-a-time result. A point whose squared
// magnitude is not finite in single precision has no level; a silent point has level 0.

#include <cmath>
#include <cstddef>
#include <limits>
#include <span>
#include <vector>

// The instruction sets the levels can be computed with. Scalar runs everywhere.
enum class LevelKernel { Scalar, Sse2, Avx2, Avx512 };

// The kernels this processor runs, from the slowest (Scalar) to the fastest, and the fastest
// (chosen once).
std::vector<LevelKernel> SupportedLevelKernels();
LevelKernel FastestLevelKernel();

// Level of one point, or NaN when its squared magnitude is not finite in single precision.
inline float PointLevel(float re, float im) {
  const double magnitude = static_cast<double>(re) * re + static_cast<double>(im) * im;
  const float p = static_cast<float>(magnitude);
  if (!(p <= std::numeric_limits<float>::max())) return std::numeric_limits<float>::quiet_NaN();
  if (p == 0.0f) return 0.0f;
  return static_cast<float>(20.0 * std::log(static_cast<double>(p)));
}

struct LevelsSummary {
  float peak;            // the largest level, -infinity for no points
  std::size_t firstBad;  // index of the first point without a level; the point count if none
};

// Levels of levels.size() points whose re and im are interleaved in points (twice as long).
// Levels from firstBad on are unspecified.
LevelsSummary ComputeLevels(LevelKernel kernel, std::span<const float> points,
                            std::span<float> levels);

// Natural logarithms in double precision (the one ComputeLevels uses), for x.size() values.
void NaturalLogs(LevelKernel kernel, std::span<const double> x, std::span<double> logs);

// Clears the upper halves of the vector registers (vzeroupper) where the processor has AVX. Code
// that leaves them in use (256- or 512-bit code without a closing vzeroupper, anywhere in the
// process or its libraries) makes every following SSE instruction and scalar library call pay a
// transition penalty on many Intel processors, several times a reader's own cost. A hot loop of
// such code calls this right before it starts.
void StartCleanVectorLoop();

// When set (nullptr: none), StartCleanVectorLoop calls probe once it has cleared, so that tests
// can read the state a hot loop starts with.
void SetCleanVectorLoopProbe(void (*probe)());

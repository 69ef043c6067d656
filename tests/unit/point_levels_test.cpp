// The vectorised level kernels against the one-point-at-a-time levels: every kernel this processor
// runs, over a few million inputs spread across every exponent, with the awkward ones (subnormal
// inputs, powers of two, values next to 1, the largest finite float) among them.

#include "point_levels.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <utility>
#include <vector>

namespace {

// Distance in units in the last place between two finite numbers of the same type, across zero.
template <typename Float, typename Bits>
std::uint64_t UlpDistance(Float a, Float b) {
  const auto ordered = [](Float x) {
    const auto bits = static_cast<std::int64_t>(std::bit_cast<Bits>(x));
    constexpr auto kSign = static_cast<std::int64_t>(Bits{1} << (8 * sizeof(Bits) - 1));
    return (bits & kSign) != 0 ? -(bits & ~kSign) : bits;
  };
  const std::int64_t d = ordered(a) - ordered(b);
  return static_cast<std::uint64_t>(d < 0 ? -d : d);
}
std::uint64_t UlpDistance(double a, double b) {
  return UlpDistance<double, std::uint64_t>(a, b);
}
std::uint64_t UlpDistance(float a, float b) {
  return UlpDistance<float, std::uint32_t>(a, b);
}

const char* Name(LevelKernel kernel) {
  switch (kernel) {
    case LevelKernel::Scalar:
      return "scalar";
    case LevelKernel::Sse2:
      return "SSE2";
    case LevelKernel::Avx2:
      return "AVX2";
    case LevelKernel::Avx512:
      return "AVX-512";
  }
  return "?";
}

// Positive finite doubles: every bit pattern from subnormal to the largest, powers of two, the
// neighbours of 1, float-range values.
std::vector<double> LogInputs() {
  std::vector<double> x;
  std::mt19937_64 random(7);
  std::uniform_int_distribution<std::uint64_t> positiveFinite(
      1, std::bit_cast<std::uint64_t>(std::numeric_limits<double>::max()));
  for (int i = 0; i < 2'000'000; ++i) x.push_back(std::bit_cast<double>(positiveFinite(random)));
  for (int e = -1074; e <= 1023; ++e) x.push_back(std::ldexp(1.0, e));
  for (int k = 1; k <= 200'000; ++k) {
    x.push_back(1.0 + k * std::numeric_limits<double>::epsilon());
    x.push_back(1.0 - k * std::numeric_limits<double>::epsilon() / 2);
  }
  std::uniform_real_distribution<double> nearOne(0.99, 1.01);
  for (int i = 0; i < 500'000; ++i) x.push_back(nearOne(random));
  for (std::uint32_t bits = 1; bits < 300'000; ++bits) {  // float subnormals, then normals
    x.push_back(static_cast<double>(std::bit_cast<float>(bits * 37)));
  }
  x.push_back(std::numeric_limits<double>::denorm_min());
  x.push_back(std::numeric_limits<double>::min());
  x.push_back(static_cast<double>(std::numeric_limits<float>::max()));
  x.push_back(static_cast<double>(std::numeric_limits<float>::denorm_min()));
  x.push_back(std::numeric_limits<double>::max());
  return x;
}

TEST(PointLevels, EveryKernelsLogarithmIsWithinOneUlpOfTheLibrarys) {
  const std::vector<double> x = LogInputs();
  std::vector<double> logs(x.size());
  for (const LevelKernel kernel : SupportedLevelKernels()) {
    NaturalLogs(kernel, x, logs);
    std::size_t exact = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
      const double expected = std::log(x[i]);
      ASSERT_LE(UlpDistance(logs[i], expected), 1u)
          << Name(kernel) << ": log(" << std::hexfloat << x[i] << ") = " << logs[i] << ", not "
          << expected;
      exact += logs[i] == expected ? 1 : 0;
    }
    // The library's result, rounded correctly almost always: a wrong kernel would be far off.
    EXPECT_GT(static_cast<double>(exact), 0.99 * static_cast<double>(x.size())) << Name(kernel);
  }
}

// Points whose squared magnitudes cover the float range: random exponents and signs, with
// subnormal parts, silent points, and magnitudes at 1 and at the largest finite float.
std::vector<float> LevelPoints() {
  std::mt19937 random(11);
  std::uniform_int_distribution<int> exponent(-160, 62);
  std::uniform_real_distribution<float> mantissa(-2.0f, 2.0f);
  std::vector<float> points;
  for (int i = 0; i < 1'000'000; ++i) {
    points.push_back(std::ldexp(mantissa(random), exponent(random)));
    points.push_back(i % 3 == 0 ? 0.0f : std::ldexp(mantissa(random), exponent(random)));
  }
  const float maxRoot = 0x1.fffffep63f;  // squared: one float step below the largest
  const std::vector<std::pair<float, float>> awkward = {
      {maxRoot, 0x1p52f},      // p rounds to the largest finite float
      {maxRoot, 0.0f},         //
      {1.0f, 0.0f},            // p = 1: level 0
      {0.0f, -1.0f},           //
      {0x1p-74f, 0.0f},        // p subnormal
      {3.0f, 4.0f},            //
      {0.5f, 0.0f},            //
      {1e-22f, 1e-22f},        // p subnormal
      {0.0f, 0.0f},            // silent
      {-0x1p-149f, 0.0f},      // p underflows to 0
      {1.0f, 0x1p-11f},        // p just above 1
      {0x1.fffffep-1f, 0.0f},  // p just below 1
      {1.0f, 1.0f},            // an odd tail: one point past the last whole vector
  };
  for (const auto& [re, im] : awkward) {
    points.push_back(re);
    points.push_back(im);
  }
  return points;
}

TEST(PointLevels, EveryKernelsLevelsAreWithinOneFloatUlpOfThePointByPointLevels) {
  const std::vector<float> points = LevelPoints();
  const std::size_t count = points.size() / 2;
  std::vector<float> expected(count);
  float expectedPeak = -std::numeric_limits<float>::infinity();
  for (std::size_t i = 0; i < count; ++i) {
    expected[i] = PointLevel(points[2 * i], points[2 * i + 1]);
    ASSERT_FALSE(std::isnan(expected[i])) << "point " << i << " of the test has no level";
    expectedPeak = std::max(expectedPeak, expected[i]);
  }
  ASSERT_EQ(expected[count - 5], 0.0f);      // p = 0 stores 0, not the logarithm's -infinity
  ASSERT_GT(expected[count - 13], 1772.0f);  // p = the largest finite float
  for (const LevelKernel kernel : SupportedLevelKernels()) {
    std::vector<float> levels(count, -1.0f);
    const LevelsSummary summary = ComputeLevels(kernel, points, levels);
    EXPECT_EQ(summary.firstBad, count) << Name(kernel);
    std::size_t exact = 0;
    for (std::size_t i = 0; i < count; ++i) {
      ASSERT_LE(UlpDistance(levels[i], expected[i]), 1u)
          << Name(kernel) << ": point " << i << " (" << points[2 * i] << ", " << points[2 * i + 1]
          << ") gives " << levels[i] << ", not " << expected[i];
      exact += levels[i] == expected[i] ? 1 : 0;
    }
    EXPECT_GT(static_cast<double>(exact), 0.999 * static_cast<double>(count)) << Name(kernel);
    EXPECT_LE(UlpDistance(summary.peak, expectedPeak), 1u) << Name(kernel);
  }
}

TEST(PointLevels, LevelsStopAtTheFirstPointWithoutOne) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  // Every position of a bad point in and after the vector steps, with a second bad point later.
  for (const LevelKernel kernel : SupportedLevelKernels()) {
    for (const float bad : {nan, inf, 2e19f}) {  // 2e19 squared is beyond float
      for (std::size_t at = 0; at < 21; ++at) {
        std::vector<float> points;
        for (std::size_t i = 0; i < 23; ++i) {
          points.push_back(i == at || i == 22 ? bad : static_cast<float>(i + 2));
          points.push_back(0.0f);
        }
        std::vector<float> levels(23);
        const LevelsSummary summary = ComputeLevels(kernel, points, levels);
        EXPECT_EQ(summary.firstBad, at) << Name(kernel) << ", bad " << bad;
        // The peak counts only the points before it: the largest of them is the last.
        if (at > 0) {
          EXPECT_LE(UlpDistance(summary.peak, PointLevel(static_cast<float>(at + 1), 0.0f)), 1u)
              << Name(kernel) << ", bad at " << at;
        }
      }
    }
  }
}

TEST(PointLevels, TheFastestKernelIsOneThisProcessorRuns) {
  const std::vector<LevelKernel> kernels = SupportedLevelKernels();
  ASSERT_FALSE(kernels.empty());
  EXPECT_EQ(kernels.front(), LevelKernel::Scalar);
  EXPECT_EQ(FastestLevelKernel(), kernels.back());
}

}  // namespace

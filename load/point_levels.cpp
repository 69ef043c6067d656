#include "point_levels.h"

#include <algorithm>
#include <atomic>

#if defined(__x86_64__)
#if defined(__GNUC__) && !defined(__clang__)
// GCC 12 takes the deliberately undefined pass-through operands of the AVX-512 conversions for
// uninitialised variables.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>
#include <sleef.h>

// sleef.h declares its 256- and 512-bit functions only when the whole file is compiled for AVX;
// here only the functions that call them are, and the declarations say which vector registers
// the arguments travel in.
extern "C" __attribute__((target("avx2,fma"))) __m256d Sleef_logd4_u10avx2(__m256d);
extern "C" __attribute__((target("avx512f"))) __m512d Sleef_logd8_u10avx512f(__m512d);
#endif

namespace {

std::atomic<void (*)()> cleanLoopProbe = nullptr;

constexpr float kNoPeak = -std::numeric_limits<float>::infinity();

// From point first on, one at a time: the tail of a vector loop, and the point that stopped it.
LevelsSummary FinishOneByOne(const float* points, float* levels, std::size_t first,
                             std::size_t count, float peak) {
  for (std::size_t i = first; i < count; ++i) {
    const float level = PointLevel(points[2 * i], points[2 * i + 1]);
    if (std::isnan(level)) return {peak, i};
    levels[i] = level;
    peak = std::max(peak, level);
  }
  return {peak, count};
}

#if defined(__x86_64__)

// Two points a step. A step with a point without a level is left to the one-by-one tail.
LevelsSummary LevelsSse2(const float* points, float* levels, std::size_t count) {
  const __m128 maxFloat = _mm_set1_ps(std::numeric_limits<float>::max());
  const __m128d twenty = _mm_set1_pd(20.0);
  __m128 peak = _mm_set1_ps(kNoPeak);
  std::size_t i = 0;
  for (; i + 2 <= count; i += 2) {
    const __m128 pair = _mm_loadu_ps(points + 2 * i);  // re0 im0 re1 im1
    const __m128d first = _mm_cvtps_pd(pair);
    const __m128d second = _mm_cvtps_pd(_mm_movehl_ps(pair, pair));
    const __m128d squares0 = _mm_mul_pd(first, first);  // exact: float products fit a double
    const __m128d squares1 = _mm_mul_pd(second, second);
    const __m128d sums =
        _mm_add_pd(_mm_unpacklo_pd(squares0, squares1), _mm_unpackhi_pd(squares0, squares1));
    const __m128 p = _mm_cvtpd_ps(sums);  // lanes 2 and 3 are 0
    if (_mm_movemask_ps(_mm_cmple_ps(p, maxFloat)) != 0xF) break;
    const __m128d logs = Sleef_logd2_u10sse2(_mm_cvtps_pd(p));
    const __m128 level =
        _mm_andnot_ps(_mm_cmpeq_ps(p, _mm_setzero_ps()), _mm_cvtpd_ps(_mm_mul_pd(logs, twenty)));
    _mm_storel_pi(reinterpret_cast<__m64*>(levels + i), level);
    peak = _mm_max_ps(peak, _mm_movelh_ps(level, level));  // lanes 2 and 3 hold no level
  }
  alignas(16) float lanes[4];
  _mm_store_ps(lanes, peak);
  return FinishOneByOne(points, levels, i, count, std::max(lanes[0], lanes[1]));
}

// Four points a step, as LevelsSse2.
__attribute__((target("avx2,fma"))) LevelsSummary LevelsAvx2(const float* points, float* levels,
                                                             std::size_t count) {
  const __m128 maxFloat = _mm_set1_ps(std::numeric_limits<float>::max());
  const __m256d twenty = _mm256_set1_pd(20.0);
  __m128 peak = _mm_set1_ps(kNoPeak);
  std::size_t i = 0;
  for (; i + 4 <= count; i += 4) {
    const __m256 quad = _mm256_loadu_ps(points + 2 * i);  // re0 im0 re1 im1 re2 im2 re3 im3
    const __m256d low = _mm256_cvtps_pd(_mm256_castps256_ps128(quad));
    const __m256d high = _mm256_cvtps_pd(_mm256_extractf128_ps(quad, 1));
    // p0 p2 p1 p3, then put in order.
    const __m256d sums = _mm256_hadd_pd(_mm256_mul_pd(low, low), _mm256_mul_pd(high, high));
    const __m128 p = _mm256_cvtpd_ps(_mm256_permute4x64_pd(sums, _MM_SHUFFLE(3, 1, 2, 0)));
    if (_mm_movemask_ps(_mm_cmp_ps(p, maxFloat, _CMP_LE_OQ)) != 0xF) break;
    const __m256d logs = Sleef_logd4_u10avx2(_mm256_cvtps_pd(p));
    const __m128 level = _mm_andnot_ps(_mm_cmp_ps(p, _mm_setzero_ps(), _CMP_EQ_OQ),
                                       _mm256_cvtpd_ps(_mm256_mul_pd(logs, twenty)));
    _mm_storeu_ps(levels + i, level);
    peak = _mm_max_ps(peak, level);
  }
  alignas(16) float lanes[4];
  _mm_store_ps(lanes, peak);
  const float vectorPeak = std::max(std::max(lanes[0], lanes[1]), std::max(lanes[2], lanes[3]));
  return FinishOneByOne(points, levels, i, count, vectorPeak);
}

// Eight points a step, as LevelsSse2.
__attribute__((target("avx512f"))) LevelsSummary LevelsAvx512(const float* points, float* levels,
                                                              std::size_t count) {
  const __m256 maxFloat = _mm256_set1_ps(std::numeric_limits<float>::max());
  const __m512d twenty = _mm512_set1_pd(20.0);
  const __m512i evens = _mm512_setr_epi64(0, 2, 4, 6, 8, 10, 12, 14);
  const __m512i odds = _mm512_setr_epi64(1, 3, 5, 7, 9, 11, 13, 15);
  __m256 peak = _mm256_set1_ps(kNoPeak);
  std::size_t i = 0;
  for (; i + 8 <= count; i += 8) {
    const __m512 octet = _mm512_loadu_ps(points + 2 * i);  // re0 im0 ... re7 im7
    const __m512d low = _mm512_cvtps_pd(_mm512_castps512_ps256(octet));
    const __m512d high =
        _mm512_cvtps_pd(_mm256_castpd_ps(_mm512_extractf64x4_pd(_mm512_castps_pd(octet), 1)));
    const __m512d squaresLow = _mm512_mul_pd(low, low);
    const __m512d squaresHigh = _mm512_mul_pd(high, high);
    const __m512d sums = _mm512_add_pd(_mm512_permutex2var_pd(squaresLow, evens, squaresHigh),
                                       _mm512_permutex2var_pd(squaresLow, odds, squaresHigh));
    const __m256 p = _mm512_cvtpd_ps(sums);
    if (_mm256_movemask_ps(_mm256_cmp_ps(p, maxFloat, _CMP_LE_OQ)) != 0xFF) break;
    const __m512d logs = Sleef_logd8_u10avx512f(_mm512_cvtps_pd(p));
    const __m256 level = _mm256_andnot_ps(_mm256_cmp_ps(p, _mm256_setzero_ps(), _CMP_EQ_OQ),
                                          _mm512_cvtpd_ps(_mm512_mul_pd(logs, twenty)));
    _mm256_storeu_ps(levels + i, level);
    peak = _mm256_max_ps(peak, level);
  }
  alignas(32) float lanes[8];
  _mm256_store_ps(lanes, peak);
  return FinishOneByOne(points, levels, i, count, *std::max_element(lanes, lanes + 8));
}

__attribute__((target("avx512f"))) void LogsAvx512(const double* x, double* logs,
                                                   std::size_t count) {
  std::size_t i = 0;
  for (; i + 8 <= count; i += 8) {
    _mm512_storeu_pd(logs + i, Sleef_logd8_u10avx512f(_mm512_loadu_pd(x + i)));
  }
  for (; i < count; ++i) logs[i] = std::log(x[i]);
}

__attribute__((target("avx2,fma"))) void LogsAvx2(const double* x, double* logs,
                                                  std::size_t count) {
  std::size_t i = 0;
  for (; i + 4 <= count; i += 4) {
    _mm256_storeu_pd(logs + i, Sleef_logd4_u10avx2(_mm256_loadu_pd(x + i)));
  }
  for (; i < count; ++i) logs[i] = std::log(x[i]);
}

void LogsSse2(const double* x, double* logs, std::size_t count) {
  std::size_t i = 0;
  for (; i + 2 <= count; i += 2) _mm_storeu_pd(logs + i, Sleef_logd2_u10sse2(_mm_loadu_pd(x + i)));
  for (; i < count; ++i) logs[i] = std::log(x[i]);
}

__attribute__((target("avx"))) void ZeroUpperHalves() {
  _mm256_zeroupper();
}

bool RunsAvx() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx");
}

bool RunsAvx2() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
}

bool RunsAvx512() {
  __builtin_cpu_init();
  return RunsAvx2() && __builtin_cpu_supports("avx512f");
}

#endif  // __x86_64__

}  // namespace

std::vector<LevelKernel> SupportedLevelKernels() {
  std::vector<LevelKernel> kernels{LevelKernel::Scalar};
#if defined(__x86_64__)
  kernels.push_back(LevelKernel::Sse2);  // part of every x86-64 processor
  if (RunsAvx2()) kernels.push_back(LevelKernel::Avx2);
  if (RunsAvx512()) kernels.push_back(LevelKernel::Avx512);
#endif
  return kernels;
}

LevelKernel FastestLevelKernel() {
  static const LevelKernel fastest = SupportedLevelKernels().back();
  return fastest;
}

LevelsSummary ComputeLevels(LevelKernel kernel, std::span<const float> points,
                            std::span<float> levels) {
  const std::size_t count = std::min(points.size() / 2, levels.size());
  switch (kernel) {
#if defined(__x86_64__)
    case LevelKernel::Avx512:
      return LevelsAvx512(points.data(), levels.data(), count);
    case LevelKernel::Avx2:
      return LevelsAvx2(points.data(), levels.data(), count);
    case LevelKernel::Sse2:
      return LevelsSse2(points.data(), levels.data(), count);
#endif
    default:
      return FinishOneByOne(points.data(), levels.data(), 0, count, kNoPeak);
  }
}

void NaturalLogs(LevelKernel kernel, std::span<const double> x, std::span<double> logs) {
  const std::size_t count = std::min(x.size(), logs.size());
  switch (kernel) {
#if defined(__x86_64__)
    case LevelKernel::Avx512:
      return LogsAvx512(x.data(), logs.data(), count);
    case LevelKernel::Avx2:
      return LogsAvx2(x.data(), logs.data(), count);
    case LevelKernel::Sse2:
      return LogsSse2(x.data(), logs.data(), count);
#endif
    default:
      std::transform(x.begin(), x.begin() + static_cast<std::ptrdiff_t>(count), logs.begin(),
                     [](double v) { return std::log(v); });
  }
}

void StartCleanVectorLoop() {
#if defined(__x86_64__)
  static const bool hasAvx = RunsAvx();
  if (hasAvx) ZeroUpperHalves();
#endif
  if (const auto probe = cleanLoopProbe.load(std::memory_order_relaxed)) probe();
}

void SetCleanVectorLoopProbe(void (*probe)()) {
  cleanLoopProbe.store(probe, std::memory_order_relaxed);
}

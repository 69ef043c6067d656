// Loading a large complex-spectrum file from a warm page cache: throughput and peak memory,
// beside reading the same file with plain reads (what `cat` costs), the level kernels on points
// already in the cache, and the first touch of a grid's pages. Loads use worker threads: run with
// the machine otherwise idle, and compare the load with the plain read taken in the same run.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <thread>
#include <vector>

#include "bench_files.h"
#include "load_measurement.h"
#include "mls_writer.h"
#include "point_levels.h"

namespace {

constexpr std::int32_t kMics = 256;
constexpr std::int32_t kPoints = 131072;  // 256 x 131072 points x 8 bytes = 256 MiB
constexpr std::uint64_t kFileSize = 8 + 8ULL * kMics * kPoints;
constexpr std::size_t kGridBytes = 4ULL * kMics * kPoints;

std::string LargeMlsFile() {
  return BenchFile("mls_256x131072.mls", kFileSize, [](const std::string& path) {
    const bool written =
        WriteMlsFile(path, kMics, kPoints, [](std::int32_t m, std::span<ComplexPoint> column) {
          // The re and im of each point follow one curve, as consecutive floats.
          for (std::size_t i = 0; i < 2 * column.size(); ++i) {
            const auto value =
                static_cast<float>(std::sin(0.001 * static_cast<double>(i * (m + 1))) *
                                   std::exp(-1e-5 * static_cast<double>(i)));
            (i % 2 == 0 ? column[i / 2].re : column[i / 2].im) = value;
          }
        });
    if (!written) throw std::runtime_error("cannot write " + path);
  });
}

void BM_LoadMls256MiB(benchmark::State& state) {
  const std::string path = LargeMlsFile();
  QuietHost host;
  MeasureLoads(state, path, host, kMics, kPoints);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFileSize));
  state.counters["grid_MiB"] = static_cast<double>(kGridBytes) / (1 << 20);
}
BENCHMARK(BM_LoadMls256MiB)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

// The same file read in 128 KiB blocks into one buffer, as `cat` does.
void BM_PlainRead256MiB(benchmark::State& state) {
  const std::string path = LargeMlsFile();
  std::vector<char> buffer(std::size_t{1} << 17);
  for (auto _ : state) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    while (::read(fd, buffer.data(), buffer.size()) > 0) benchmark::DoNotOptimize(buffer.data());
    ::close(fd);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFileSize));
}
BENCHMARK(BM_PlainRead256MiB)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

// Levels of 32768 points (256 KiB, in the cache) on one core, per kernel: Scalar, SSE2, AVX2,
// AVX-512.
void BM_LevelKernel(benchmark::State& state) {
  const std::vector<LevelKernel> kernels = SupportedLevelKernels();
  if (static_cast<std::size_t>(state.range(0)) >= kernels.size()) {
    state.SkipWithError("this processor does not run the kernel");
    return;
  }
  constexpr std::size_t kCount = 32768;
  std::vector<float> points(2 * kCount);
  for (std::size_t i = 0; i < points.size(); ++i) {
    points[i] = static_cast<float>(std::sin(0.001 * static_cast<double>(i)));
  }
  std::vector<float> levels(kCount);
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        ComputeLevels(kernels[static_cast<std::size_t>(state.range(0))], points, levels));
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kCount));
}
BENCHMARK(BM_LevelKernel)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

// First touch of a fresh 128 MiB grid: arg 0 plain pages, 1 huge pages asked for with madvise;
// arg 1 of the pair: the number of threads touching their own halves.
void BM_GridFirstTouch(benchmark::State& state) {
  const bool huge = state.range(0) != 0;
  const auto threads = static_cast<std::size_t>(state.range(1));
  for (auto _ : state) {
    void* memory =
        ::mmap(nullptr, kGridBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) {
      state.SkipWithError("mmap failed");
      return;
    }
    if (huge) ::madvise(memory, kGridBytes, MADV_HUGEPAGE);
    auto* cells = static_cast<float*>(memory);
    const std::size_t share = kGridBytes / sizeof(float) / threads;
    std::vector<std::thread> touching;
    for (std::size_t t = 0; t < threads; ++t) {
      touching.emplace_back([cells, share, t] {
        for (std::size_t i = t * share; i < (t + 1) * share; ++i) cells[i] = 1.0f;
      });
    }
    for (std::thread& thread : touching) thread.join();
    benchmark::DoNotOptimize(cells[share / 2]);
    state.PauseTiming();
    ::munmap(memory, kGridBytes);
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kGridBytes));
}
BENCHMARK(BM_GridFirstTouch)
    ->ArgsProduct({{0, 1}, {1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

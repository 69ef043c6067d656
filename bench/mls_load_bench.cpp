// Loading a large complex-spectrum file from a warm page cache: throughput and peak memory.

#include <benchmark/benchmark.h>

#include <cmath>
#include <stdexcept>

#include "bench_files.h"
#include "load_measurement.h"
#include "mls_writer.h"

namespace {

constexpr std::int32_t kMics = 64;
constexpr std::int32_t kPoints = 524288;  // 64 x 524288 points x 8 bytes = 256 MiB
constexpr std::uint64_t kFileSize = 8 + 8ULL * kMics * kPoints;

std::string LargeMlsFile() {
  return BenchFile("large.mls", kFileSize, [](const std::string& path) {
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
  state.counters["grid_MiB"] = 4.0 * kMics * kPoints / (1 << 20);
}
BENCHMARK(BM_LoadMls256MiB)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();

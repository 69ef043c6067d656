// Loading a large complex-spectrum file from a warm page cache: throughput and peak memory.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "bench_files.h"
#include "load_measurement.h"

namespace {

constexpr std::int32_t kMics = 64;
constexpr std::int32_t kPoints = 524288;  // 64 x 524288 points x 8 bytes = 256 MiB
constexpr std::uint64_t kFileSize = 8 + 8ULL * kMics * kPoints;

std::string LargeMlsFile() {
  return BenchFile("large.mls", kFileSize, [](const std::string& path) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    const std::int32_t header[2] = {2 * kPoints, kMics};
    std::fwrite(header, sizeof header, 1, out);
    std::vector<float> column(2 * static_cast<std::size_t>(kPoints));
    for (std::int32_t m = 0; m < kMics; ++m) {
      for (std::size_t t = 0; t < column.size(); ++t) {
        column[t] = static_cast<float>(std::sin(0.001 * static_cast<double>(t * (m + 1))) *
                                       std::exp(-1e-5 * static_cast<double>(t)));
      }
      std::fwrite(column.data(), sizeof(float), column.size(), out);
    }
    std::fclose(out);
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

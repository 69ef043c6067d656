// The acoustic figures of every position of a 1 GiB float recording (1024 responses of 262144
// samples) from a warm page cache, beside one plain read of the same file (what `cat` does):
// the figures should cost at most twice the read. Peak memory follows one response per worker,
// not the file.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "bench_files.h"
#include "figures_run.h"
#include "lcg.h"

namespace {

constexpr std::int32_t kPeriod = 262144;
constexpr std::int32_t kPeriods = 1024;
constexpr std::uint64_t kSize = 4ULL * kPeriod * kPeriods;
constexpr double kRate = 60606.0;  // of raw float recordings

// Noise decaying by 60 dB in 0.5 to 1.5 s across the positions, after a direct sound that
// arrives later at each.
std::string FiguresRecording() {
  return BenchFile("figures_recording.pcm", kSize, [](const std::string& path) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    Lcg random;
    std::vector<float> block(kPeriod);
    for (std::int32_t m = 0; m < kPeriods; ++m) {
      const double t60 = 0.5 + static_cast<double>(m) / kPeriods;
      const auto onset = static_cast<std::size_t>(100 + m);
      std::fill(block.begin(), block.end(), 0.0f);
      block[onset] = 1.0f;
      for (std::size_t n = onset + 1; n < block.size(); ++n) {
        const double t = static_cast<double>(n - onset) / kRate;
        block[n] =
            static_cast<float>(0.2 * (2.0 * random.Next() - 1.0) * std::pow(10.0, -3.0 * t / t60));
      }
      std::fwrite(block.data(), sizeof(float), block.size(), out);
    }
    std::fclose(out);
  });
}

void BM_ReadRecordingOnce(benchmark::State& state) {
  const std::string path = FiguresRecording();
  std::vector<char> buffer(128 * 1024);
  for (auto _ : state) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    std::uint64_t total = 0;
    for (ssize_t n; (n = ::read(fd, buffer.data(), buffer.size())) > 0;) total += n;
    ::close(fd);
    if (total != kSize) state.SkipWithError("short read");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kSize));
}

void BM_FiguresOfRecording(benchmark::State& state) {
  const std::string path = FiguresRecording();
  QuietHost host(std::to_string(kPeriod));
  std::uint64_t peakGrowth = 0;
  for (auto _ : state) {
    state.PauseTiming();
    ResetPeakResident();
    const std::uint64_t before = PeakResidentBytes();
    state.ResumeTiming();
    const auto figures = FiguresOfFile(path, kBenchDecimation, {}, host, std::nullopt);
    state.PauseTiming();
    peakGrowth = std::max(peakGrowth, PeakResidentBytes() - before);
    if (!figures || figures->size() != kPeriods || !figures->back().t30S) {
      state.SkipWithError("the figures are not those of the recording");
    }
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kSize));
  state.counters["figures_peak_MiB"] = static_cast<double>(peakGrowth) / (1 << 20);
}

}  // namespace

BENCHMARK(BM_ReadRecordingOnce)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_FiguresOfRecording)->Unit(benchmark::kMillisecond)->MinTime(1.0);

BENCHMARK_MAIN();

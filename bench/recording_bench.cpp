// Loading large periodic impulse-response recordings from a warm page cache: time per load, grid
// cells a second and peak memory. Only the start of each period is read, so time and memory
// follow the grid, not the file.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "bench_files.h"
#include "load_measurement.h"

namespace {

// 1 GiB of float32: 1024 periods of 262144 samples.
constexpr std::int32_t kPcmPeriod = 262144;
constexpr std::int32_t kPcmPeriods = 1024;
constexpr std::uint64_t kPcmSize = 4ULL * kPcmPeriod * kPcmPeriods;

// 200 MB of 16-bit samples after a 44-byte header: 1000 periods of 100000 samples.
constexpr std::int32_t kWavPeriod = 100000;
constexpr std::int32_t kWavPeriods = 1000;
constexpr std::uint64_t kWavDataSize = 2ULL * kWavPeriod * kWavPeriods;
constexpr std::uint64_t kWavSize = 44 + kWavDataSize;

// One decaying response per period, a little louder for each microphone.
double Response(std::size_t i, std::int32_t period) {
  return std::sin(0.05 * static_cast<double>(i)) * std::exp(-8.0 * static_cast<double>(i) / period);
}

std::string LargePcmFile() {
  return BenchFile("large_recording.pcm", kPcmSize, [](const std::string& path) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    std::vector<float> response(kPcmPeriod);
    for (std::size_t i = 0; i < response.size(); ++i) {
      response[i] = static_cast<float>(Response(i, kPcmPeriod));
    }
    std::vector<float> block(kPcmPeriod);
    for (std::int32_t m = 0; m < kPcmPeriods; ++m) {
      const float gain = 0.1f + 0.0008f * static_cast<float>(m);
      std::transform(response.begin(), response.end(), block.begin(),
                     [gain](float s) { return gain * s; });
      std::fwrite(block.data(), sizeof(float), block.size(), out);
    }
    std::fclose(out);
  });
}

void AppendLE(std::vector<unsigned char>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

std::string LargeWavFile() {
  return BenchFile("large_recording.wav", kWavSize, [](const std::string& path) {
    std::vector<unsigned char> header;
    for (char c : std::string("RIFF")) header.push_back(static_cast<unsigned char>(c));
    AppendLE(header, static_cast<std::uint32_t>(kWavSize - 8), 4);
    for (char c : std::string("WAVEfmt ")) header.push_back(static_cast<unsigned char>(c));
    AppendLE(header, 16, 4);
    AppendLE(header, 1, 2);      // integer PCM
    AppendLE(header, 1, 2);      // mono
    AppendLE(header, 48000, 4);  // sample rate
    AppendLE(header, 96000, 4);  // byte rate
    AppendLE(header, 2, 2);      // block align
    AppendLE(header, 16, 2);     // bits
    for (char c : std::string("data")) header.push_back(static_cast<unsigned char>(c));
    AppendLE(header, static_cast<std::uint32_t>(kWavDataSize), 4);
    std::FILE* out = std::fopen(path.c_str(), "wb");
    std::fwrite(header.data(), 1, header.size(), out);
    std::vector<std::int16_t> block(kWavPeriod);
    for (std::int32_t m = 0; m < kWavPeriods; ++m) {
      const double gain = 3000.0 + 25.0 * m;
      for (std::size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<std::int16_t>(std::lround(gain * Response(i, kWavPeriod)));
      }
      std::fwrite(block.data(), sizeof(std::int16_t), block.size(), out);
    }
    std::fclose(out);
  });
}

void LoadRepeatedly(benchmark::State& state, const std::string& path, std::int32_t period,
                    std::int32_t periods, std::uint64_t fileSize) {
  QuietHost host(std::to_string(period));
  MeasureLoads(state, path, host, periods, 400);
  state.counters["file_MiB"] = static_cast<double>(fileSize) / (1 << 20);
  // Grid cells a second of the load's CPU time, its wall time on an idle machine (target: at
  // least 50 M).
  state.counters["cells_per_s"] = benchmark::Counter(static_cast<double>(periods) * 400,
                                                     benchmark::Counter::kIsIterationInvariantRate);
}

void BM_LoadPcm1GiB1024Periods(benchmark::State& state) {
  LoadRepeatedly(state, LargePcmFile(), kPcmPeriod, kPcmPeriods, kPcmSize);
}
BENCHMARK(BM_LoadPcm1GiB1024Periods)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_LoadWav200MB1000Periods(benchmark::State& state) {
  LoadRepeatedly(state, LargeWavFile(), kWavPeriod, kWavPeriods, kWavSize);
}
BENCHMARK(BM_LoadWav200MB1000Periods)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace

BENCHMARK_MAIN();

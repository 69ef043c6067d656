// Parsing a generated ~100 MB text level-map export from a warm page cache.

#include <benchmark/benchmark.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

#include "bench_files.h"
#include "readers.h"

namespace {

constexpr int kMics = 24;
constexpr double kTime = 3.0;
constexpr double kPrecision = 0.0001;
constexpr std::size_t kNumberChars = 12;  // d.dddddde-dd
constexpr std::size_t kRowBytes = 10 * kNumberChars + 9 * 2 + 1;

std::int64_t RowsPerTable() {
  return static_cast<std::int64_t>(std::floor(kTime / kPrecision));
}

std::string HeaderText() {
  return "Level map export\nMicrophones = " + std::to_string(kMics) +
         "\nTime           = 3.0\nPrecision      = 0.0001\n[Microphones]\n";
}

std::string BlockLines(int mic) {
  char text[128];
  std::snprintf(text, sizeof text,
                "Microphone %03d\nPosition   = %06.2f m\nHeight     = 1.20 m\n"
                "Source     = 1\nUnit       = Pa^2\nColumns    = 10\n",
                mic, 0.5 * mic);
  return text;
}

std::uint64_t FileSize() {
  std::uint64_t size = HeaderText().size();
  for (int m = 1; m <= kMics; ++m) {
    size += BlockLines(m).size() + kRowBytes * static_cast<std::uint64_t>(RowsPerTable());
  }
  return size;
}

void AppendNumber(std::string& out, double v) {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, v, std::chars_format::scientific, 6);
  out.append(text, result.ptr);
}

void WriteExport(const std::string& path) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  std::string text = HeaderText();
  for (int m = 1; m <= kMics; ++m) {
    text += BlockLines(m);
    for (std::int64_t t = 1; t <= RowsPerTable(); ++t) {
      const double decay = std::exp(-1e-4 * static_cast<double>(t));
      for (int k = 1; k <= 10; ++k) {
        const double wave = 0.5 * (1.0 + std::sin(0.01 * static_cast<double>(t * k + m)));
        AppendNumber(text, wave * decay + 1e-6);
        text += k < 10 ? ", " : "\n";
      }
      if (text.size() > (1u << 22)) {
        std::fwrite(text.data(), 1, text.size(), out);
        text.clear();
      }
    }
  }
  std::fwrite(text.data(), 1, text.size(), out);
  std::fclose(out);
}

void BM_ParseTextMap100MB(benchmark::State& state) {
  const std::uint64_t size = FileSize();
  const std::string path = BenchFile("export.__lev", size, WriteExport);
  QuietHost host;
  for (auto _ : state) {
    const LoadResult outcome = ReadTextMap(ReaderInput{path, kBenchDecimation, 0.0f, host});
    benchmark::DoNotOptimize(std::get<Measurement>(outcome).peakLevel);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
  state.counters["file_MB"] = static_cast<double>(size) / 1e6;
}
// Wall time and the CPU time of the whole process: the reader uses a second core.
BENCHMARK(BM_ParseTextMap100MB)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

}  // namespace
BENCHMARK_MAIN();

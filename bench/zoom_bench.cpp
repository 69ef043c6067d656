// The loudest-cell reduction of a 256 x 131072 map of greys (33.5 M bytes) to the zoom factors
// below 1 that fitting it to a screen takes: 1:219 fits an 800 x 600 area, 1:2 and 1:16 are the
// first steps down, 1:1024 leaves a few pixels. The same for a wide 8192 x 4096 map, where the
// minimums across each row take more of the time. The images live in memory; no file is read.

#include <benchmark/benchmark.h>

#include <QImage>
#include <cstdint>

#include "reduce_loudest.h"

namespace {

// Designed greys like a decaying response with some structure: mostly light, darker early on.
QImage MakeGreys(int mics, int rows) {
  QImage greys(mics, rows, QImage::Format_Indexed8);
  std::uint32_t state = 12345;
  for (int y = 0; y < rows; ++y) {
    uchar* line = greys.scanLine(y);
    const int base = 40 + y * 200 / rows;
    for (int x = 0; x < mics; ++x) {
      state = state * 1664525u + 1013904223u;
      line[x] = static_cast<uchar>(base + static_cast<int>(state >> 27));
    }
  }
  return greys;
}

void Reduce(benchmark::State& state, const QImage& greys) {
  const int out = static_cast<int>(state.range(0));
  for (auto _ : state) {
    QImage reduced = ReduceLoudest(greys, out);
    benchmark::DoNotOptimize(reduced.constBits());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(greys.sizeInBytes()));
}

void BM_ReduceLoudest256x131072(benchmark::State& state) {
  static const QImage greys = MakeGreys(256, 131072);
  Reduce(state, greys);
}
BENCHMARK(BM_ReduceLoudest256x131072)
    ->Arg(2)
    ->Arg(16)
    ->Arg(219)
    ->Arg(1024)
    ->Unit(benchmark::kMillisecond);

void BM_ReduceLoudest8192x4096(benchmark::State& state) {
  static const QImage greys = MakeGreys(8192, 4096);
  Reduce(state, greys);
}
BENCHMARK(BM_ReduceLoudest8192x4096)
    ->Arg(2)
    ->Arg(3)
    ->Arg(4)
    ->Arg(16)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

// Painting a loaded grid in the window (offscreen, without the fixed pause): Redraw's whole paint,
// with its yield and repaint after every column. On the offscreen platform's default screen
// (800 x 800 here) both grids are larger than the screen, so the window is capped and only the
// shown part repaints; a screen that holds them, for the unscrolled case, comes from
// QT_QPA_PLATFORM=offscreen:configfile=FILE.json with {"screens": [{"name": "big", "x": 0,
// "y": 0, "width": 2000, "height": 40000, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]}.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cmath>

#include "bench_window.h"

namespace {

void PaintGrid(benchmark::State& bench, std::int32_t micCount, std::int32_t rowCount) {
  BenchWindow window;
  Form1& form = window.form;
  ViewState& state = form.State();
  state.LevelGrid = LevelGrid(rowCount, micCount);
  for (std::int32_t c = 1; c <= micCount; ++c) {
    auto column = state.LevelGrid.DataColumn(c);
    for (std::size_t r = 0; r < column.size(); ++r) {
      column[r] = static_cast<float>(-0.05 * static_cast<double>(r) + 3.0 * std::sin(0.1 * c));
    }
  }
  state.PeakLevel = 3.0f;
  form.Command2_Click();  // sizes the window once before timing

  for (auto _ : bench) form.Command2_Click();
  bench.SetItemsProcessed(bench.iterations() * micCount * rowCount);
  bench.counters["cells"] = static_cast<double>(micCount) * rowCount;
}

void BM_PaintWide(benchmark::State& bench) {
  PaintGrid(bench, 1000, 400);
}
void BM_PaintTall(benchmark::State& bench) {
  PaintGrid(bench, 64, 32768);
}

}  // namespace

BENCHMARK(BM_PaintWide)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PaintTall)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
  return RunWindowBenchmarks(argc, argv);
}

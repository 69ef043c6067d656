// The map view's zoom in the window (offscreen, without the fixed pause): painting a 1000 x 400
// map at 4:1, fitting a 256 x 131072 map to the screen (the loudest-cell reduction and the repaint
// that follows) and painting it fitted, one scroll step of a zoomed map, and the window's memory
// for a 256 x 131072 map.
// Each time covers the view change and the synchronous repaint of what it made dirty. On the
// offscreen platform's default screen (800 x 800) every map here is larger than the screen, so
// the window is capped and only the shown part repaints (see window_paint_bench.cpp for a larger
// screen).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QScrollBar>

#include "bench_files.h"
#include "bench_window.h"
#include "picture_box.h"

namespace {

// Counts the paint events that reach one widget.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget* watched) { watched->installEventFilter(this); }
  long long paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

// Delivers the posted repaints now, as the event loop would next.
void Repaint() {
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents();
}

QSize Available(const Form1& form) {
  return form.screen()->availableGeometry().size();
}

// The window's peak resident growth for a 256 x 131072 map, from an empty window on: the grid,
// the paint at 1:1, fitting to the screen, 4:1 and a scroll to the map's end. The target is the
// grid's 4 bytes a cell plus 2 bytes a cell for the view.
void BM_WindowMemory256x131072(benchmark::State& bench) {
  constexpr std::int32_t kMics = 256, kRows = 131072;
  for (auto _ : bench) {
    BenchWindow window;
    Repaint();
    ResetPeakResident();
    const std::uint64_t empty = PeakResidentBytes();
    const auto grownMiB = [empty] {
      return static_cast<double>(PeakResidentBytes() - empty) / (1 << 20);
    };
    window.Fill(kMics, kRows);
    bench.counters["after_grid_MiB"] = grownMiB();
    window.Paint();
    bench.counters["after_paint_MiB"] = grownMiB();
    MapView* view = window.form.View();
    view->FitToScreen(Available(window.form));
    Repaint();
    bench.counters["after_fit_MiB"] = grownMiB();
    view->SetZoom(Zoom{4, 1}, QPoint());
    Repaint();
    view->VerticalScroll()->setValue(view->VerticalScroll()->maximum());
    Repaint();
    const double cells = static_cast<double>(kMics) * kRows;
    const double growth = static_cast<double>(PeakResidentBytes() - empty);
    bench.counters["empty_window_MiB"] = static_cast<double>(empty) / (1 << 20);
    bench.counters["growth_MiB"] = growth / (1 << 20);
    bench.counters["target_MiB"] = 6.0 * cells / (1 << 20);
    bench.counters["bytes_per_cell"] = growth / cells;
  }
}

// Redraw of a 1000 x 400 map at 4:1: every column painted and repainted.
void BM_RedrawZoom4_1000x400(benchmark::State& bench) {
  BenchWindow window;
  window.Fill(1000, 400);
  window.form.View()->SetZoom(Zoom{4, 1}, QPoint());
  window.Paint();
  for (auto _ : bench) window.Paint();
  bench.SetItemsProcessed(bench.iterations() * 1000 * 400);
}

// Times a change of the view from 1:1 and the repaint that follows it.
template <typename Change>
void TimeViewChange(benchmark::State& bench, BenchWindow& window, Change change) {
  MapView* view = window.form.View();
  PaintCounter counter(view->Picture());
  for (auto _ : bench) {
    bench.PauseTiming();
    view->SetZoom(Zoom{}, QPoint());
    Repaint();
    const long long before = counter.paints;
    bench.ResumeTiming();
    change(*view);
    Repaint();
    bench.PauseTiming();
    if (counter.paints == before) bench.SkipWithError("the change repainted nothing");
    bench.ResumeTiming();
  }
}

// From 1:1 to 4:1 on a painted 1000 x 400 map, and the repaint that follows.
void BM_ZoomTo4_1000x400(benchmark::State& bench) {
  BenchWindow window;
  window.Fill(1000, 400);
  window.Paint();
  TimeViewChange(bench, window, [](MapView& view) { view.SetZoom(Zoom{4, 1}, QPoint()); });
}

// From 1:1 to the screen's fit on a painted 256 x 131072 map, and the repaint that follows.
void BM_FitToScreen256x131072(benchmark::State& bench) {
  BenchWindow window;
  window.Fill(256, 131072);
  window.Paint();
  TimeViewChange(bench, window,
                 [&window](MapView& view) { view.FitToScreen(Available(window.form)); });
  bench.counters["out"] = window.form.View()->CurrentZoom().rows.out;
}

// Redraw of a 256 x 131072 map at 1:1, and fitted to the screen, where every painted column also
// updates its column of loudest-cell blocks.
void RedrawTall(benchmark::State& bench, bool fitted) {
  BenchWindow window;
  window.Fill(256, 131072);
  window.Paint();
  if (fitted) window.form.View()->FitToScreen(Available(window.form));
  Repaint();
  for (auto _ : bench) window.Paint();
  bench.counters["out"] = window.form.View()->CurrentZoom().rows.out;
  bench.SetItemsProcessed(bench.iterations() * 256 * 131072);
}
void BM_Redraw1to1_256x131072(benchmark::State& bench) {
  RedrawTall(bench, false);
}
void BM_RedrawFitted256x131072(benchmark::State& bench) {
  RedrawTall(bench, true);
}

// One step of a scroll bar (an arrow key's; the vertical bar's, or the horizontal one's on a screen
// that holds the map's height) on a map at `zoom`, and the repaint that follows; along the map,
// and from its end back to its start.
void ScrollSteps(benchmark::State& bench, std::int32_t micCount, std::int32_t rowCount, Zoom zoom) {
  BenchWindow window;
  window.Fill(micCount, rowCount);
  window.Paint();
  MapView* view = window.form.View();
  view->SetZoom(zoom, QPoint());
  Repaint();
  QScrollBar* bar = view->VerticalScroll();
  if (bar->isHidden()) bar = view->HorizontalScroll();
  if (bar->isHidden()) {
    bench.SkipWithError("the map does not scroll");
    return;
  }
  PaintCounter counter(view->Picture());
  for (auto _ : bench) {
    if (bar->value() == bar->maximum()) {
      bar->setValue(0);
    } else {
      bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    }
    Repaint();
  }
  bench.counters["paints_per_step"] =
      benchmark::Counter(static_cast<double>(counter.paints), benchmark::Counter::kAvgIterations);
  bench.counters["step_px"] = bar->singleStep();
  bench.counters["vertical"] = bar == view->VerticalScroll() ? 1 : 0;
}

void BM_ScrollStepZoom4_1000x400(benchmark::State& bench) {
  ScrollSteps(bench, 1000, 400, Zoom{4, 1});
}
void BM_ScrollStepZoom4_256x131072(benchmark::State& bench) {
  ScrollSteps(bench, 256, 131072, Zoom{4, 1});
}
void BM_ScrollStep1to1_256x131072(benchmark::State& bench) {
  ScrollSteps(bench, 256, 131072, Zoom{});
}

}  // namespace

// The memory first, before other benchmarks leave freed memory behind for it to reuse.
BENCHMARK(BM_WindowMemory256x131072)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawZoom4_1000x400)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ZoomTo4_1000x400)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FitToScreen256x131072)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Redraw1to1_256x131072)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RedrawFitted256x131072)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ScrollStepZoom4_1000x400)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ScrollStepZoom4_256x131072)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ScrollStep1to1_256x131072)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
  return RunWindowBenchmarks(argc, argv);
}

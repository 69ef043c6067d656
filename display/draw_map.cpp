#include "draw_map.h"

#include <cmath>
#include <vector>

#include "grey.h"
#include "row_scale.h"

namespace {

void Pause(MapSurface& surface, std::chrono::steady_clock::duration pause) {
  const auto start = std::chrono::steady_clock::now();
  do {
    surface.Yield();
  } while (std::chrono::steady_clock::now() - start <= pause);
}

void DrawScale(const ViewState& state, MapSurface& surface) {
  if (state.Decimation == 0) throw DrawError("the decimation is 0, so there is no time scale");
  if (state.SampleRate == 0) {
    // Without a rate every millisecond lies on row 0; the scale counts rows instead, each tick
    // on its row's pixel (inside the border).
    for (const TimeTick& tick : TimeTicks(state.LevelGrid.RowCount(), 0.0, 1.0).ticks) {
      surface.DrawTick(static_cast<float>(std::floor(tick.offsetRows) + kPictureBorder),
                       tick.label.toInt());
    }
    return;
  }
  const double rowsPerSecond =
      static_cast<double>(state.SampleRate) / static_cast<double>(state.Decimation);
  for (int ms = 0; ms <= 50; ms += 5) {
    surface.DrawTick(static_cast<float>(ms * rowsPerSecond / 1000.0), ms);
  }
}

void PaintCells(ViewState& state, MapSurface& surface, const MapGeometry& geometry) {
  surface.Clear(geometry.micCount, geometry.rowCount);
  DrawScale(state, surface);
  state.StopDrawing = false;
  const LevelGrid& grid = state.LevelGrid;
  if (grid.RowCount() == 0) {
    // Columns without cells have nothing to paint: one yield for all of them, however many.
    surface.Yield();
    return;
  }
  std::vector<std::uint8_t> greys(static_cast<std::size_t>(grid.RowCount()));
  for (std::int32_t c = 1; c <= grid.MicCount(); ++c) {
    const auto levels = grid.DataColumn(c);
    GreysOf(levels, state.PeakLevel, state.RangeDb, greys.data());
    surface.PaintColumn(c, greys);
    surface.Yield();
    if (state.StopDrawing) return;
  }
}

}  // namespace

void DrawMap(ViewState& state, MapSurface& surface) {
  PaintCells(state, surface,
             ComputeMapGeometry(state.LevelGrid.MicCount(), state.LevelGrid.RowCount()));
}

void DrawMap(ViewState& state, WindowMapSurface& surface, const DrawOptions& options) {
  const MapGeometry geometry =
      ComputeMapGeometry(state.LevelGrid.MicCount(), state.LevelGrid.RowCount());
  surface.SetWidths(geometry);
  Pause(surface, options.pause);
  surface.SetHeights(geometry);
  PaintCells(state, surface, geometry);
}

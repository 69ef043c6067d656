#include "draw_map.h"

#include <algorithm>
#include <vector>

#include "grey.h"

namespace {

void Pause(MapSurface& surface, std::chrono::steady_clock::duration pause) {
  const auto start = std::chrono::steady_clock::now();
  do {
    surface.Yield();
  } while (std::chrono::steady_clock::now() - start <= pause);
}

void DrawScale(const ViewState& state, MapSurface& surface) {
  if (state.Decimation == 0) throw DrawError("the decimation is 0, so there is no time scale");
  for (int ms = 0; ms <= 50; ms += 5) {
    const double rowsPerSecond =
        static_cast<double>(state.SampleRate) / static_cast<double>(state.Decimation);
    surface.DrawTick(static_cast<float>(ms * rowsPerSecond / 1000.0), ms);
  }
}

}  // namespace

void DrawMap(ViewState& state, MapSurface& surface, const DrawOptions& options) {
  const MapLayout layout = ComputeMapLayout(state.MicCount, state.RowCount);
  surface.SetWidths(layout);
  Pause(surface, options.pause);
  // The pause yields: read the counts afresh, as a load may have run in it.
  const MapLayout sized = ComputeMapLayout(state.MicCount, state.RowCount);
  surface.SetHeights(sized);
  surface.Clear(state.MicCount, state.RowCount);
  DrawScale(state, surface);
  state.StopDrawing = false;

  const std::int32_t columns = state.MicCount;
  std::vector<std::uint8_t> greys;
  for (std::int32_t c = 1; c <= columns; ++c) {
    // Re-read per column; never past the grid the state holds now.
    const LevelGrid& grid = state.LevelGrid;
    if (c <= grid.MicCount()) {
      const auto levels = grid.DataColumn(c).first(
          static_cast<std::size_t>(std::clamp(state.RowCount, 0, grid.RowCount())));
      greys.resize(levels.size());
      const float peak = state.PeakLevel;
      const float range = state.RangeDb;
      for (std::size_t r = 0; r < levels.size(); ++r) greys[r] = GreyOf(levels[r], peak, range);
      surface.PaintColumn(c, greys);
    }
    surface.Yield();
    if (state.StopDrawing) return;
  }
}

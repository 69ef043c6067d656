#pragma once

#include <chrono>

#include "map_surface.h"
#include "view_state.h"

struct DrawOptions {
  // The pause between sizing the widths and the heights, spent yielding to the event loop.
  std::chrono::steady_clock::duration pause = std::chrono::milliseconds(200);
};

// Sizes the surface to the grid, draws the millisecond scale and paints the cells column by
// column, yielding after each column and stopping after the column in which StopDrawing became
// true. Writes only StopDrawing. Throws DrawError on a size or grey that cannot be drawn.
void DrawMap(ViewState& state, MapSurface& surface, const DrawOptions& options = {});

#pragma once

#include <chrono>

#include "map_surface.h"
#include "view_state.h"

struct DrawOptions {
  // The pause between sizing the widths and the heights, spent yielding to the event loop.
  std::chrono::steady_clock::duration pause = std::chrono::milliseconds(200);
};

// Draws the millisecond scale (a scale of rows when there is no sampling rate) and paints the cells
// column by column, yielding after each column and stopping after the column in which StopDrawing
// became true. Writes only StopDrawing. Throws DrawError on a size or grey that cannot be drawn.
// The grid must not change while the paint yields (the window refuses loads while a paint runs).
void DrawMap(ViewState& state, MapSurface& surface);
// The same in a window: first sizes the window to the map, widths, the pause, then heights.
void DrawMap(ViewState& state, WindowMapSurface& surface, const DrawOptions& options);

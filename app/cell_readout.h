#pragma once
// The read-out that follows the mouse over the painted map: what one cell holds.

#include <cstdint>
#include <string>

#include "level_units.h"
#include "view_state.h"

// Lines describing cell (column, row), both from 1, of the state's grid: the microphone position,
// the time from the start of the response (the row while SampleRate or Decimation is 0), the
// level, and how far it lies below PeakLevel, in the level's units with their dB equivalent.
// Numbers use decimalPoint. Empty for a cell outside the grid.
std::string CellReadout(const ViewState& state, std::int32_t column, std::int32_t row,
                        LevelScale scale, const std::string& decimalPoint);

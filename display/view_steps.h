#pragma once
// The view changes that keys ask for: a wider or narrower black-to-white span, and the peak set
// to the loudest level of the map on screen.

#include <optional>

#include "level_grid.h"

// The span after one step of 5 level units (+1 wider, -1 narrower). A span never becomes 0,
// which no map can be painted with: the step goes past it.
float SteppedRangeDb(float rangeDb, int direction);

// The loudest level of the grid's data cells; nullopt for a grid without cells.
std::optional<float> LoudestLevel(const LevelGrid& grid);

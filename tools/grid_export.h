#pragma once
// The data cells of a grid as float32 files for other tools: rows 1..RowCount by columns
// 1..MicCount.

#include <ostream>
#include <string>

#include "level_grid.h"

// NumPy .npy, dtype '<f4', shape (RowCount, MicCount), C order.
void WriteNpy(const LevelGrid& grid, std::ostream& out);
// One line per row, values separated by commas, each reading back to the same float32.
void WriteCsv(const LevelGrid& grid, std::ostream& out);
// Shortest text that reads back to the same float32.
std::string FloatText(float value);

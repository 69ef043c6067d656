#pragma once
// Levels of one measurement: rows 0..RowCount (time slices) by columns 0..MicCount (microphone
// positions). Data cells are numbered from 1; row 0 and column 0 always read 0.0 and take no
// memory, so a grid with no data rows or no data columns costs nothing whatever its other count.
// Stored column by column, since readers fill and the renderer paints one column at a time.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

class LevelGrid {
 public:
  LevelGrid() = default;  // the state before any load: no rows, no columns
  // Every cell 0.0. Counts must be >= 0 (readers check them against the file first).
  LevelGrid(std::int32_t rowCount, std::int32_t micCount);

  std::int32_t RowCount() const { return rowCount_; }
  std::int32_t MicCount() const { return micCount_; }

  // Any cell of rows 0..RowCount and columns 0..MicCount.
  float At(std::int32_t row, std::int32_t column) const {
    return row == 0 || column == 0 ? 0.0f : cells_[Index(row, column)];
  }
  // Rows 1..RowCount of data column 1..MicCount (element 0 is row 1).
  std::span<const float> DataColumn(std::int32_t column) const {
    return {cells_.data() + Index(1, column), static_cast<std::size_t>(rowCount_)};
  }
  std::span<float> DataColumn(std::int32_t column) {
    return {cells_.data() + Index(1, column), static_cast<std::size_t>(rowCount_)};
  }

 private:
  std::size_t Index(std::int32_t row, std::int32_t column) const {
    return static_cast<std::size_t>(column - 1) * static_cast<std::size_t>(rowCount_) +
           static_cast<std::size_t>(row - 1);
  }

  std::int32_t rowCount_ = 0;
  std::int32_t micCount_ = 0;
  std::vector<float> cells_;
};

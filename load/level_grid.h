#pragma once
// Levels of one measurement: rows 0..RowCount (time slices) by columns 0..MicCount (microphone
// positions). Data cells are numbered from 1; row 0 and column 0 always read 0.0 and take no
// memory, so a grid with no data rows or no data columns costs nothing whatever its other count.
// Stored column by column, since readers fill and the renderer paints one column at a time.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>

class LevelGrid {
 public:
  LevelGrid() = default;  // the state before any load: no rows, no columns
  // Every cell 0.0. Counts must be >= 0 (readers check them against the file first).
  LevelGrid(std::int32_t rowCount, std::int32_t micCount);
  LevelGrid(const LevelGrid& other);
  LevelGrid& operator=(const LevelGrid& other);
  LevelGrid(LevelGrid&&) noexcept = default;
  LevelGrid& operator=(LevelGrid&&) noexcept = default;

  std::int32_t RowCount() const { return rowCount_; }
  std::int32_t MicCount() const { return micCount_; }

  // Any cell of rows 0..RowCount and columns 0..MicCount.
  float At(std::int32_t row, std::int32_t column) const {
    return row == 0 || column == 0 ? 0.0f : cells_[Index(row, column)];
  }
  // Rows 1..RowCount of data column 1..MicCount (element 0 is row 1).
  std::span<const float> DataColumn(std::int32_t column) const {
    return {cells_.get() + Index(1, column), static_cast<std::size_t>(rowCount_)};
  }
  std::span<float> DataColumn(std::int32_t column) {
    return {cells_.get() + Index(1, column), static_cast<std::size_t>(rowCount_)};
  }

 private:
  struct Free {
    void operator()(float* cells) const { std::free(cells); }
  };
  std::size_t CellCount() const {
    return static_cast<std::size_t>(rowCount_) * static_cast<std::size_t>(micCount_);
  }
  std::size_t Index(std::int32_t row, std::int32_t column) const {
    return static_cast<std::size_t>(column - 1) * static_cast<std::size_t>(rowCount_) +
           static_cast<std::size_t>(row - 1);
  }

  std::int32_t rowCount_ = 0;
  std::int32_t micCount_ = 0;
  // calloc: a large grid gets zero pages from the system without a pass that clears them.
  std::unique_ptr<float[], Free> cells_;
};

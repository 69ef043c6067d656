#include "level_grid.h"

#include <algorithm>
#include <new>
#include <stdexcept>

namespace {
float* AllocateZeroed(std::size_t count) {
  if (count == 0) return nullptr;
  auto* cells = static_cast<float*>(std::calloc(count, sizeof(float)));
  if (cells == nullptr) throw std::bad_alloc();
  return cells;
}
}  // namespace

LevelGrid::LevelGrid(std::int32_t rowCount, std::int32_t micCount)
    : rowCount_(rowCount), micCount_(micCount) {
  if (rowCount < 0 || micCount < 0) throw std::invalid_argument("negative grid size");
  cells_.reset(AllocateZeroed(CellCount()));
}

LevelGrid::LevelGrid(const LevelGrid& other)
    : rowCount_(other.rowCount_), micCount_(other.micCount_) {
  cells_.reset(AllocateZeroed(CellCount()));
  if (cells_) std::copy_n(other.cells_.get(), CellCount(), cells_.get());
}

LevelGrid& LevelGrid::operator=(const LevelGrid& other) {
  if (this != &other) *this = LevelGrid(other);
  return *this;
}

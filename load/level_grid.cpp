#include "level_grid.h"

#include <stdexcept>

LevelGrid::LevelGrid(std::int32_t rowCount, std::int32_t micCount)
    : rowCount_(rowCount), micCount_(micCount) {
  if (rowCount < 0 || micCount < 0) throw std::invalid_argument("negative grid size");
  cells_.assign(static_cast<std::size_t>(rowCount) * static_cast<std::size_t>(micCount), 0.0f);
}

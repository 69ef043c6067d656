#include "view_steps.h"

#include <algorithm>

float SteppedRangeDb(float rangeDb, int direction) {
  const float step = 5.0f * static_cast<float>(direction);
  const float range = rangeDb + step;
  return range == 0.0f ? step : range;
}

std::optional<float> LoudestLevel(const LevelGrid& grid) {
  if (grid.MicCount() == 0 || grid.RowCount() == 0) return std::nullopt;
  float loudest = grid.At(1, 1);
  for (std::int32_t c = 1; c <= grid.MicCount(); ++c) {
    const auto column = grid.DataColumn(c);
    loudest = std::max(loudest, *std::max_element(column.begin(), column.end()));
  }
  return loudest;
}

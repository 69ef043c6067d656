#include "row_scale.h"

std::int32_t RowTickStep(std::int32_t rowCount) {
  std::int64_t decade = 1;
  for (;;) {
    for (const std::int64_t mantissa : {1, 2, 5}) {
      const std::int64_t step = mantissa * decade;
      // rowCount / step <= 10, in integers.
      if (rowCount <= 10 * step) return static_cast<std::int32_t>(step);
    }
    decade *= 10;
  }
}

std::vector<RowTick> RowTicks(std::int32_t rowCount) {
  std::vector<RowTick> ticks;
  if (rowCount < 1) return ticks;
  const auto add = [&ticks](std::int32_t row) {
    ticks.push_back(RowTick{row - 1, row, QString::number(row)});
  };
  add(1);
  const std::int32_t step = RowTickStep(rowCount);
  for (std::int64_t row = step == 1 ? 2 : step; row <= rowCount; row += step) {
    add(static_cast<std::int32_t>(row));
  }
  return ticks;
}

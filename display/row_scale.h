#pragma once
// The time scale in rows, for maps without a sampling rate (SampleRate 0): ticks at a round step
// of rows labelled with row numbers, 1-based as in the read-out's "Row r".

#include <QString>
#include <cstdint>
#include <vector>

struct RowTick {
  std::int32_t offset;  // rows below the picture's top data row: row - 1
  std::int32_t row;     // 1-based row number that the tick points at
  QString label;        // the row number, e.g. "100"
};

// The step: the smallest of 1, 2, 5 x 10^n with rowCount / step <= 10, so that its multiples up to
// rowCount number at most 10, and at least 4 from 4 rows on (each step is at most 2.5 times the
// one before). Heights 1 to 10 take step 1; 1 for rowCount below 1.
std::int32_t RowTickStep(std::int32_t rowCount);

// One tick at row 1 (offset 0, the picture's top data row, where the millisecond scale has 0 ms)
// and one at each multiple of RowTickStep(rowCount) up to rowCount, top to bottom: at most eleven
// ticks. A tick at row r sits at offset r - 1, on the pixel row of the cell that the read-out calls
// "Row r". Examples: 1 row gives row 1 alone; 7 rows rows 1 to 7; 512 rows rows 1, 100, 200, ...,
// 500; 131072 rows rows 1, 20000, ..., 120000. Empty for rowCount below 1.
std::vector<RowTick> RowTicks(std::int32_t rowCount);

#include "cell_readout.h"

#include <charconv>

#include "profiles.h"

namespace {

std::string Fixed(double value, int decimals, const std::string& decimalPoint) {
  char text[64];
  const auto end =
      std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals).ptr;
  std::string result(text, end);
  if (const auto point = result.find('.'); point != std::string::npos) {
    result.replace(point, 1, decimalPoint);
  }
  return result;
}

}  // namespace

std::string CellReadout(const ViewState& state, std::int32_t column, std::int32_t row,
                        LevelScale scale, const std::string& decimalPoint) {
  const LevelGrid& grid = state.LevelGrid;
  if (column < 1 || row < 1 || column > grid.MicCount() || row > grid.RowCount()) return {};
  const double level = grid.At(row, column);
  std::string text = ColumnName(state.Columns, column);
  if (state.SampleRate != 0 && state.Decimation != 0) {
    // The slice's start, where the time scale places the row's top edge.
    text += "\nTime " + Fixed(RowMilliseconds(state, row), 3, decimalPoint) + " ms";
  } else {
    text += "\nRow " + std::to_string(row);
  }
  const QString point = QString::fromStdString(decimalPoint);
  text += "\nLevel " + LevelText(scale, level, 2, point).toStdString();
  text += "\n" +
          LevelText(scale, static_cast<double>(state.PeakLevel) - level, 2, point).toStdString() +
          " below the peak";
  return text;
}

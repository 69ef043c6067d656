#include "text_block.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "load_error.h"
#include "point_levels.h"
#include "readers.h"

namespace {

constexpr int kLinesBeforeTable = 6;
constexpr int kNumbersPerRow = 10;
constexpr int kUsedNumber = 6;  // 1-based position of the number that gives the level
constexpr std::size_t kRowsPerChunk = 1024;

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

[[noreturn]] void BadItem(const TextScanner& text, TextScanner::Item item, std::int64_t row,
                          std::int64_t mic, int position) {
  const std::string where = "number " + std::to_string(position) + " of row " +
                            std::to_string(row) + " of microphone " + std::to_string(mic);
  const std::string line = "line " + std::to_string(text.LastItemLine());
  switch (item) {
    case TextScanner::Item::End:
      TextEndedEarly(text, "where " + where + " was expected");
    case TextScanner::Item::Empty:
      throw LoadError(line + " has an empty item between two commas where " + where +
                      " was expected");
    case TextScanner::Item::TooLong:
      throw LoadError(line + " has an item that is far too long where " + where + " was expected");
    case TextScanner::Item::OutOfRange:
      throw LoadError(line + " holds " + Quoted(text.LastItem()) + " as " + where +
                      ", a number beyond the range of numbers");
    case TextScanner::Item::NotNumber:
    case TextScanner::Item::Number:
      break;
  }
  throw LoadError(line + " holds " + Quoted(text.LastItem()) + " where " + where + " was expected");
}

// Ten numbers of one row; returns the sixth. The other nine are only checked, never converted.
double ReadRow(TextScanner& text, std::int64_t row, std::int64_t mic) {
  double value = 0.0;
  if (text.ReadPlainRow(kNumbersPerRow, kUsedNumber, value)) return value;
  for (int k = 1; k <= kNumbersPerRow; ++k) {
    const TextScanner::Item item = k == kUsedNumber ? text.ReadNumber(value) : text.SkipNumber();
    if (item != TextScanner::Item::Number) BadItem(text, item, row, mic, k);
  }
  return value;
}

}  // namespace

void TextEndedEarly(const TextScanner& text, const std::string& where) {
  const std::int64_t lines = text.LinesInFile();
  if (lines == 0) throw LoadError("it is empty, " + where);
  throw LoadError("it ends after line " + std::to_string(lines) + ", " + where);
}

void ReadTextBlock(TextScanner& text, std::int64_t mic, bool anotherFollows,
                   bool& markersInsideBlocks, std::span<float> column, float& peak,
                   const std::atomic<bool>* stop) {
  for (int i = 0; i < kLinesBeforeTable; ++i) {
    const auto line = text.ReadLine();
    if (!line) {
      TextEndedEarly(text,
                     "in the six lines before the table of microphone " + std::to_string(mic));
    }
    // A block whose own lines begin with a marker never has one between tables.
    if (mic == 1 && i == 0) markersInsideBlocks = line->text.starts_with(kTextMarker);
  }
  // Rows are read a chunk at a time and their logarithms taken together, vectorised.
  const LevelKernel kernel = FastestLevelKernel();
  const double ln10 = std::log(10.0);
  std::array<double, kRowsPerChunk> values;
  std::array<double, kRowsPerChunk> logs;
  for (std::size_t first = 0; first < column.size(); first += kRowsPerChunk) {
    if (stop != nullptr && stop->load(std::memory_order_relaxed)) throw TextBlockStopped{};
    const std::size_t count = std::min(kRowsPerChunk, column.size() - first);
    for (std::size_t i = 0; i < count; ++i) {
      values[i] = ReadRow(text, static_cast<std::int64_t>(first + i + 1), mic);
    }
    NaturalLogs(kernel, std::span(values).first(count), logs);
    for (std::size_t i = 0; i < count; ++i) {
      const float level = values[i] > 0.0 ? static_cast<float>((logs[i] * 10.0) / ln10) : -100.0f;
      RaisePeak(peak, level);
      column[first + i] = level;
    }
  }
  if (anotherFollows && !markersInsideBlocks) text.SkipBlankLinesAndLineStartingWith(kTextMarker);
}

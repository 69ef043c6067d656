// Text level-map export: a header of "key = value" lines ending at the first line that starts
// with "[Microph", then per microphone six lines and a table of rows of ten numbers. The sixth
// number v of each row is a linear quantity stored as 10 log10(v) (-100 when v is not above 0).
// Two layouts are read alike: the header's marker line is the only one, or every block begins
// with its own marker line (skipped when it directly follows the previous table).

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "column_reporter.h"
#include "input_file.h"
#include "load_error.h"
#include "readers.h"
#include "rounding.h"
#include "text_scanner.h"

namespace {

constexpr std::string_view kMicrophonesKey = "Microphones =";
constexpr std::string_view kTimeKey = "Time           =";
constexpr std::string_view kPrecisionKey = "Precision      =";
constexpr std::string_view kMarker = "[Microph";
constexpr int kLinesBeforeTable = 6;
constexpr int kNumbersPerRow = 10;
constexpr int kUsedNumber = 6;  // 1-based position of the number that gives the level
// Least bytes in the file for one number (a digit and a separator) and for six lines.
constexpr double kNumberBytes = 2.0;
constexpr double kLinesBytes = kLinesBeforeTable;

struct HeaderValue {
  double value = 0.0;     // 0 when the key does not occur
  std::int64_t line = 0;  // line of the last occurrence, 0 when none
};

struct Header {
  HeaderValue microphones, time, precision;
  std::int64_t markerLine = 0;
};

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

std::string Number(double value) {
  std::string text = std::to_string(value);
  // to_string always writes six decimals; drop the trailing zeros for plain messages.
  if (text.find('.') != std::string::npos) {
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') text.pop_back();
  }
  return text;
}

[[noreturn]] void EndedEarly(const TextScanner& text, const std::string& where) {
  const std::int64_t lines = text.LinesInFile();
  if (lines == 0) throw LoadError("it is empty, " + where);
  throw LoadError("it ends after line " + std::to_string(lines) + ", " + where);
}

// Reads a key's value from the character named for that key on; the key's own line otherwise.
void TakeValue(std::string_view line, std::size_t valueColumn, std::int64_t lineNumber,
               std::string_view key, HeaderValue& into) {
  const std::string_view rest = line.size() > valueColumn ? line.substr(valueColumn) : "";
  const auto value = LeadingDecimal(rest);
  if (!value) {
    throw LoadError("line " + std::to_string(lineNumber) + " gives " + Quoted(key) +
                    " a value beyond the range of numbers");
  }
  into = {*value, lineNumber};
}

Header ReadHeader(TextScanner& text) {
  Header header;
  for (;;) {
    const auto line = text.ReadLine();
    if (!line) EndedEarly(text, "before the line starting with \"[Microph\" that ends its header");
    const std::string_view s = line->text;
    // The value starts one character after "Microphones =", right after the other two keys.
    if (s.starts_with(kMicrophonesKey)) {
      TakeValue(s, kMicrophonesKey.size() + 1, line->number, kMicrophonesKey, header.microphones);
    }
    if (s.starts_with(kTimeKey)) TakeValue(s, kTimeKey.size(), line->number, kTimeKey, header.time);
    if (s.starts_with(kPrecisionKey)) {
      TakeValue(s, kPrecisionKey.size(), line->number, kPrecisionKey, header.precision);
    }
    if (s.starts_with(kMarker)) {
      header.markerLine = line->number;
      return header;
    }
  }
}

void CheckTimeStep(const Header& header) {
  const HeaderValue& precision = header.precision;
  if (precision.line == 0) {
    throw LoadError("its header (lines 1 to " + std::to_string(header.markerLine) +
                    ") has no time step: no line starts with " + Quoted(kPrecisionKey));
  }
  if (!(precision.value > 0.0)) {
    throw LoadError("line " + std::to_string(precision.line) + " gives the time step " +
                    Quoted(kPrecisionKey) + " as " + Number(precision.value) +
                    "; it must be above 0");
  }
}

// Fails before allocating when the file is too short for the tables its header announces.
void CheckFileHoldsTables(const Header& header, double rowsPerTable, std::uint64_t fileBytes) {
  const double blocks = header.microphones.value;
  if (!(blocks > 0.0)) return;
  const double needed = blocks * (kLinesBytes + rowsPerTable * kNumbersPerRow * kNumberBytes);
  if (needed <= static_cast<double>(fileBytes)) return;
  throw LoadError("it is too short for its header: " + Number(blocks) + " microphones of " +
                  Number(rowsPerTable) + " rows of ten numbers need at least " +
                  Number(std::ceil(needed)) + " bytes, and the file has " +
                  std::to_string(fileBytes));
}

[[noreturn]] void BadItem(const TextScanner& text, TextScanner::Item item, std::int64_t row,
                          std::int64_t mic, int position) {
  const std::string where = "number " + std::to_string(position) + " of row " +
                            std::to_string(row) + " of microphone " + std::to_string(mic);
  const std::string line = "line " + std::to_string(text.LastItemLine());
  switch (item) {
    case TextScanner::Item::End:
      EndedEarly(text, "where " + where + " was expected");
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

// Ten numbers of one row; returns the sixth.
double ReadRow(TextScanner& text, std::int64_t row, std::int64_t mic) {
  double value = 0.0;
  for (int k = 1; k <= kNumbersPerRow; ++k) {
    const TextScanner::Item item = k == kUsedNumber ? text.ReadNumber(value) : text.SkipNumber();
    if (item != TextScanner::Item::Number) BadItem(text, item, row, mic, k);
  }
  return value;
}

}  // namespace

LoadResult ReadTextMap(const ReaderInput& input) {
  InputFile file(input.fileName);
  file.AdviseSequential();
  TextScanner text(file);
  const Header header = ReadHeader(text);

  CheckTimeStep(header);
  const double rowsInTime = header.time.value / header.precision.value;
  const std::int32_t rowCount =
      RoundCountToInt32(rowsInTime, "its header gives " + DecimalText(rowsInTime) + " rows (time " +
                                        DecimalText(header.time.value) + " over time step " +
                                        DecimalText(header.precision.value) + ")");
  const std::int32_t micCount = RoundCountToInt32(
      header.microphones.value,
      "its header gives " + DecimalText(header.microphones.value) + " microphones");
  const double rate = input.decimation * (1.0 / header.precision.value);
  const std::int32_t sampleRate =
      RoundCountToInt32(rate, "its header gives a sample rate of " + DecimalText(rate) + " (" +
                                  std::to_string(input.decimation) + " samples per time step of " +
                                  DecimalText(header.precision.value) + " seconds)");
  if (rowCount < 0) {
    throw LoadError("its header gives a negative number of rows (time " +
                    Number(header.time.value) + " over time step " +
                    Number(header.precision.value) + ")");
  }
  if (micCount < 0) {
    throw LoadError("its header gives a negative number of microphones (" +
                    Number(header.microphones.value) + ")");
  }
  // Rows t = 1, 2, ... while t <= rowsInTime, blocks m = 1, 2, ... while m <= Microphones. Rounding
  // never goes below the floor, so both stay inside the grid (rowCount >= rows,
  // micCount >= blocks); a count that rounds up leaves its last row or column at 0.0.
  const std::int64_t rows =
      rowsInTime >= 1.0 ? static_cast<std::int64_t>(std::floor(rowsInTime)) : 0;
  const std::int64_t blocks = header.microphones.value >= 1.0
                                  ? static_cast<std::int64_t>(std::floor(header.microphones.value))
                                  : 0;
  CheckFileHoldsTables(header, static_cast<double>(rows), file.Size());

  Measurement result;
  result.grid = NewGrid(input, rowCount, micCount);
  result.sampleRate = sampleRate;
  result.peakLevel = input.peakLevel;
  const double ln10 = std::log(10.0);
  input.host.Yield();

  ColumnReporter reporter(input.host, header.microphones.value, ProgressStep::BeforeColumn);
  bool markersInsideBlocks = false;
  for (std::int64_t m = 1; m <= blocks; ++m) {
    reporter.StartColumn(m);
    for (int i = 0; i < kLinesBeforeTable; ++i) {
      const auto line = text.ReadLine();
      if (!line) {
        EndedEarly(text, "in the six lines before the table of microphone " + std::to_string(m));
      }
      // A block whose own lines begin with a marker never has one between tables.
      if (m == 1 && i == 0) markersInsideBlocks = line->text.starts_with(kMarker);
    }
    std::span<float> column = result.grid.DataColumn(static_cast<std::int32_t>(m));
    float peak = result.peakLevel;
    for (std::int64_t t = 1; t <= rows; ++t) {
      const double v = ReadRow(text, t, m);
      const float level = v > 0.0 ? static_cast<float>((std::log(v) * 10.0) / ln10) : -100.0f;
      RaisePeak(peak, level);
      column[static_cast<std::size_t>(t - 1)] = level;
    }
    result.peakLevel = peak;
    if (m < blocks && !markersInsideBlocks) text.SkipBlankLinesAndLineStartingWith(kMarker);
    reporter.FinishColumn(m);
  }
  return result;
}

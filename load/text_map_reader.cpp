// Text level-map export: a header of "key = value" lines ending at the first line that starts
// with "[Microph", then per microphone six lines and a table of rows of ten numbers. The sixth
// number v of each row is a linear quantity stored as 10 log10(v) (-100 when v is not above 0).
// Two layouts are read alike: the header's marker line is the only one, or every block begins
// with its own marker line (skipped when it directly follows the previous table).

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>

#include "column_reporter.h"
#include "input_file.h"
#include "load_error.h"
#include "readers.h"
#include "rounding.h"
#include "text_block.h"
#include "text_scanner.h"
#include "text_second_half.h"

namespace {

constexpr std::string_view kMicrophonesKey = "Microphones =";
constexpr std::string_view kTimeKey = "Time           =";
constexpr std::string_view kPrecisionKey = "Precision      =";
constexpr int kLinesBeforeTable = 6;
constexpr int kNumbersPerRow = 10;
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
    if (!line)
      TextEndedEarly(text, "before the line starting with \"[Microph\" that ends its header");
    const std::string_view s = line->text;
    // The value starts one character after "Microphones =", right after the other two keys.
    if (s.starts_with(kMicrophonesKey)) {
      TakeValue(s, kMicrophonesKey.size() + 1, line->number, kMicrophonesKey, header.microphones);
    }
    if (s.starts_with(kTimeKey)) TakeValue(s, kTimeKey.size(), line->number, kTimeKey, header.time);
    if (s.starts_with(kPrecisionKey)) {
      TakeValue(s, kPrecisionKey.size(), line->number, kPrecisionKey, header.precision);
    }
    if (s.starts_with(kTextMarker)) {
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

// A second core for the blocks after the first when the rest of the file is large enough to be
// worth it; none when no thread can be started.
std::unique_ptr<TextSecondHalf> SecondHalfFor(const InputFile& file, const TextScanner& text,
                                              std::uint64_t firstBlockStart, std::int64_t rows,
                                              std::int64_t blocks, bool markersInsideBlocks) {
  const std::optional<std::uint64_t> here = text.ResumableOffset();
  if (!here || rows == 0 || blocks < 3 || file.Size() - *here < TextSecondHalfMinBytes() ||
      std::thread::hardware_concurrency() < 2) {
    return nullptr;
  }
  // Half a block (as large as the first) before the middle of the rest, so that the block start
  // found after it is the one nearest to the middle.
  const std::uint64_t halfBlock = (*here - firstBlockStart) / 2;
  const std::uint64_t middle = *here + (file.Size() - *here) / 2;
  try {
    return std::make_unique<TextSecondHalf>(file, std::max(*here, middle - halfBlock), rows,
                                            markersInsideBlocks, blocks - 1);
  } catch (const std::system_error&) {
    return nullptr;
  }
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
  input.host.Yield();

  ColumnReporter reporter(input.host, header.microphones.value, ProgressStep::BeforeColumn);
  bool markersInsideBlocks = false;
  const std::optional<std::uint64_t> firstBlockStart = text.ResumableOffset();
  std::unique_ptr<TextSecondHalf> second;
  std::int64_t joined = 0;  // the block that the second half's first column is, once known
  std::int64_t joinedLine = 0;
  for (std::int64_t m = 1; m <= blocks; ++m) {
    reporter.StartColumn(m);
    const std::span<float> column =
        result.grid.DataColumn(static_cast<std::int32_t>(m)).first(static_cast<std::size_t>(rows));
    if (second && joined == 0) {
      const std::optional<std::uint64_t> start = second->Start();
      const std::optional<std::uint64_t> here = text.ResumableOffset();
      if (start && here == start) {
        joined = m;
        joinedLine = text.CurrentLine();
      } else if (start && (!here || *here > *start)) {
        second.reset();  // it started where no block does
      }
    }
    if (joined != 0) {
      const TextSecondHalf::Column taken = second->Wait(m - joined);
      if (taken.read) {
        std::copy(taken.levels.begin(), taken.levels.end(), column.begin());
        RaisePeak(result.peakLevel, taken.peak);
        reporter.FinishColumn(m);
        continue;
      }
      // Read here instead, which words any failure with the lines of the whole file.
      text.Restart(taken.offset, joinedLine + taken.line - 1);
      second.reset();
      joined = 0;
    }
    float peak = result.peakLevel;
    ReadTextBlock(text, m, m < blocks, markersInsideBlocks, column, peak);
    result.peakLevel = peak;
    if (m == 1 && firstBlockStart) {
      second = SecondHalfFor(file, text, *firstBlockStart, rows, blocks, markersInsideBlocks);
    }
    reporter.FinishColumn(m);
  }
  return result;
}

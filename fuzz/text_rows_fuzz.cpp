// Fuzzes the text scanner's one-pass row reading against reading the same row item by item: for
// any text and buffer size, both leave the same outcome, value, lines, item text and file offset.
// The first byte picks the buffer size, so that rows meet the buffer's end at every place.

#include <bit>
#include <optional>
#include <string_view>

#include "fuzz_host.h"
#include "input_file.h"
#include "text_scanner.h"

namespace {

constexpr int kNumbers = 10;
constexpr int kUsed = 6;

struct RowOutcome {
  TextScanner::Item item = TextScanner::Item::Number;
  int position = 0;
  std::uint64_t valueBits = 0;
  std::int64_t itemLine = 0;
  std::string_view lastItem;
  std::int64_t currentLine = 0;
  std::optional<std::uint64_t> offset;
  bool operator==(const RowOutcome&) const = default;
};

RowOutcome ReadRow(TextScanner& scanner, bool plainFirst) {
  double value = 0.0;
  RowOutcome outcome;
  if (!plainFirst || !scanner.ReadPlainRow(kNumbers, kUsed, value)) {
    for (int k = 1; k <= kNumbers; ++k) {
      const TextScanner::Item item = k == kUsed ? scanner.ReadNumber(value) : scanner.SkipNumber();
      if (item != TextScanner::Item::Number) {
        outcome.item = item;
        outcome.position = k;
        break;
      }
    }
  }
  if (outcome.item == TextScanner::Item::Number)
    outcome.valueBits = std::bit_cast<std::uint64_t>(value);
  outcome.itemLine = scanner.LastItemLine();
  outcome.lastItem = scanner.LastItem();
  outcome.currentLine = scanner.CurrentLine();
  outcome.offset = scanner.ResumableOffset();
  return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t capacity = 16 + data[0];
  InputFile file(WriteScratchFile(data + 1, size - 1, ".rows"));
  TextScanner byItems(file, capacity);
  TextScanner byRows(file, capacity);
  for (;;) {
    const RowOutcome expected = ReadRow(byItems, false);
    if (!(ReadRow(byRows, true) == expected)) __builtin_trap();
    if (expected.item != TextScanner::Item::Number) return 0;
  }
}

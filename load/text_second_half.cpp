#include "text_second_half.h"

#include <limits>
#include <string_view>

#include "readers.h"
#include "text_block.h"
#include "text_scanner.h"

namespace {

// A row of numbers starts, after blanks, with a digit, a sign or a point; the six lines before a
// table and the marker lines usually do not.
bool LooksLikeRow(std::string_view line) {
  const std::size_t first = line.find_first_not_of(" \t");
  if (first == std::string_view::npos) return false;
  const char c = line[first];
  return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.';
}

std::atomic<std::uint64_t> secondHalfMinBytes = kTextSecondHalfMinBytes;

}  // namespace

std::uint64_t TextSecondHalfMinBytes() {
  return secondHalfMinBytes.load(std::memory_order_relaxed);
}

void SetTextSecondHalfMinBytes(std::uint64_t bytes) {
  secondHalfMinBytes.store(bytes, std::memory_order_relaxed);
}

TextSecondHalf::TextSecondHalf(const InputFile& file, std::uint64_t from, std::int64_t rows,
                               bool markersInsideBlocks, std::int64_t maxBlocks)
    : file_(file),
      from_(from),
      rows_(rows),
      markersInsideBlocks_(markersInsideBlocks),
      columns_(static_cast<std::size_t>(maxBlocks)),
      levels_(static_cast<std::size_t>(maxBlocks)),
      thread_([this] { Run(); }) {}

TextSecondHalf::~TextSecondHalf() {
  Stop();
  thread_.join();
}

void TextSecondHalf::Stop() {
  stop_ = true;
}

std::optional<std::uint64_t> TextSecondHalf::Start() const {
  const std::uint64_t start = start_.load();
  if (start == 0) return std::nullopt;
  return start;
}

TextSecondHalf::Column TextSecondHalf::Wait(std::int64_t index) {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return ready_ > index || done_; });
  const auto at = static_cast<std::size_t>(index);
  // Read, or not read: then where the reader goes on by itself.
  return columns_[at];
}

// The first line at or after from_ that follows a row and does not look like one; after it, as
// the reader does between blocks, the blank lines and the marker line that may stand there.
std::optional<std::uint64_t> TextSecondHalf::FindStart() {
  TextScanner text(file_);
  text.Restart(from_, 1);
  text.SkipLine();  // from_ may lie inside a line
  bool afterRow = false;
  while (!stop_.load(std::memory_order_relaxed)) {
    const std::optional<std::uint64_t> offset = text.ResumableOffset();
    const auto line = text.ReadLine();
    if (!line) return std::nullopt;
    const bool row = LooksLikeRow(line->text);
    if (afterRow && !row && offset) {
      if (markersInsideBlocks_) return offset;
      text.Restart(*offset, 1);
      text.SkipBlankLinesAndLineStartingWith(kTextMarker);
      return text.ResumableOffset();
    }
    afterRow = row;
  }
  return std::nullopt;
}

void TextSecondHalf::Run() {
  try {
    const std::optional<std::uint64_t> start = FindStart();
    if (start && *start > 0) {
      start_ = *start;
      TextScanner text(file_);
      text.Restart(*start, 1);
      bool markers = markersInsideBlocks_;
      std::uint64_t offset = *start;
      std::int64_t line = 1;
      for (std::size_t index = 0; index < columns_.size(); ++index) {
        if (stop_.load(std::memory_order_relaxed)) break;
        {
          const std::lock_guard lock(mutex_);
          columns_[index] = {false, {}, 0.0f, offset, line};  // where to resume should it fail
        }
        auto levels = std::make_unique_for_overwrite<float[]>(static_cast<std::size_t>(rows_));
        const std::span<float> span(levels.get(), static_cast<std::size_t>(rows_));
        float peak = -std::numeric_limits<float>::infinity();
        ReadTextBlock(text, 0, true, markers, span, peak, &stop_);
        // The next block must start where a restarted scanner could go on, or the reader could
        // not resume there after a failure: then this block counts as not read.
        const std::optional<std::uint64_t> next = text.ResumableOffset();
        if (!next) break;
        const std::lock_guard lock(mutex_);
        levels_[index] = std::move(levels);
        columns_[index] = {true, span, peak, offset, line};
        ready_ = static_cast<std::int64_t>(index) + 1;
        changed_.notify_all();
        offset = *next;
        line = text.CurrentLine();
      }
    }
  } catch (...) {
    // A block that cannot be read is read again by the reader, which words the failure.
  }
  const std::lock_guard lock(mutex_);
  done_ = true;
  changed_.notify_all();
}

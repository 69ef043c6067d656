#pragma once
// The text reader's second core. A thread looks, from the middle of the file on, for a place
// where a block seems to start (a line that does not look like a row of numbers after one that
// does), and reads blocks from there into columns of its own. The reader, going through the file
// from the start, takes those columns only when it arrives at a block start at exactly that place:
// then both read the same bytes from the same state, and the columns are what it would have read.
// Anywhere else the thread's work is dropped. Line numbers and messages always come from the
// reader's own scanner: on a failure in the thread's part the reader reads that block itself.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <thread>
#include <vector>

#include "input_file.h"

// The least number of bytes after the first block for which the reader starts a second core:
// below it the thread costs more than it saves. Tests and fuzz targets move it to reach the
// second core with small files, or to read a large file on one core.
inline constexpr std::uint64_t kTextSecondHalfMinBytes = std::uint64_t{4} << 20;
std::uint64_t TextSecondHalfMinBytes();
void SetTextSecondHalfMinBytes(std::uint64_t bytes);

class TextSecondHalf {
 public:
  // Starts the thread: blocks of `rows` rows, at most maxBlocks of them, found at or after file
  // offset `from`.
  TextSecondHalf(const InputFile& file, std::uint64_t from, std::int64_t rows,
                 bool markersInsideBlocks, std::int64_t maxBlocks);
  // Stops the thread and waits for it: nothing runs after the reader returns.
  ~TextSecondHalf();
  TextSecondHalf(const TextSecondHalf&) = delete;
  TextSecondHalf& operator=(const TextSecondHalf&) = delete;

  // The file offset where the thread's first block starts, once found.
  std::optional<std::uint64_t> Start() const;
  // Stops the thread early; its columns are no longer wanted.
  void Stop();

  struct Column {
    bool read = false;              // false: the thread failed or stopped before this block
    std::span<const float> levels;  // when read
    float peak = 0.0f;              // the largest level, when read
    std::uint64_t offset = 0;       // where the block starts (when not read: where to resume)
    std::int64_t line = 0;          // its line, counted from 1 at Start()
  };
  // Waits until the thread has read its block `index` (0-based) or will not.
  Column Wait(std::int64_t index);

 private:
  void Run();
  std::optional<std::uint64_t> FindStart();

  const InputFile& file_;
  const std::uint64_t from_;
  const std::int64_t rows_;
  const bool markersInsideBlocks_;
  std::atomic<bool> stop_ = false;
  std::atomic<std::uint64_t> start_ = 0;  // 0: not found (yet); a block never starts at 0

  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Column> columns_;  // sized once; entries below ready_ are final
  std::vector<std::unique_ptr<float[]>> levels_;
  std::int64_t ready_ = 0;  // blocks read
  bool done_ = false;       // the thread reads no more blocks
  std::thread thread_;      // last: started once everything above exists
};

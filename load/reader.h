#pragma once
// What every reader receives and hands back. A reader fills a fresh grid; the frame puts it into
// the view state only when the whole read succeeded, so a failed, refused or cancelled load
// leaves the previous measurement untouched.

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

#include "level_grid.h"
#include "load_host.h"

struct ReaderInput {
  const std::string& fileName;
  std::int32_t decimation;  // samples per row (recording reader) or rows-per-second factor
  float peakLevel;          // PeakLevel before this load
  LoadHost& host;
};

struct Measurement {
  LevelGrid grid;                          // rows 0..RowCount by columns 0..MicCount
  std::optional<std::int32_t> sampleRate;  // nullopt: the reader leaves SampleRate as it was
  float peakLevel = 0.0f;                  // PeakLevel raised by the levels stored
  float cellLevel = 0.0f;                  // last level computed
};

// The file was refused with a warning (for example a WAV file that is not mono).
struct Refusal {
  std::string text;
  std::string title;
};

// The user cancelled a prompt; nothing changes and nothing is said.
struct Cancelled {};

using ReadOutcome = std::variant<Measurement, Refusal, Cancelled>;

// Raises peak to level when level is strictly greater (the peak rule).
inline void RaisePeak(float& peak, float level) {
  if (level > peak) peak = level;
}

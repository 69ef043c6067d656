#pragma once

#include <optional>
#include <string>

#include "file_kind.h"
#include "level_grid.h"

// Why a loaded grid has nothing to paint, to follow the file's name ("FILE holds no data to
// paint at this period: 0 microphone positions"); nullopt when it holds cells. A recording's
// grid depends on the period the user gave, which is what the sentence points at.
inline std::optional<std::string> EmptyMapReason(const std::string& fileName,
                                                 const LevelGrid& grid) {
  if (grid.MicCount() > 0 && grid.RowCount() > 0) return std::nullopt;
  const ReaderKind kind = ReaderFor(FileKindOf(fileName));
  const bool recording =
      kind == ReaderKind::Wav || kind == ReaderKind::Pcm || kind == ReaderKind::Audio;
  return std::string(" holds no data to paint") + (recording ? " at this period" : "") + ": " +
         (grid.MicCount() == 0 ? "0 microphone positions" : "0 time rows");
}

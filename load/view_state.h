#pragma once
// The viewer's state: the level grid of the last successful load and the variables that the
// window, the readers and the renderer share.

#include <cstdint>

#include "level_grid.h"

struct ViewState {
  ::LevelGrid LevelGrid;
  std::int32_t MicCount = 0;    // microphone columns holding data
  std::int32_t RowCount = 0;    // time rows holding data
  std::int32_t SampleRate = 0;  // samples per second; SampleRate / Decimation rows per second
  std::int32_t Decimation = 0;  // samples summed into one row by the recording reader
  float PeakLevel = 0.0f;       // largest level stored since start-up (never lowered)
  float RangeDb = 0.0f;         // level span from black (PeakLevel) to white
  float CellLevel = 0.0f;       // last level computed by a reader
  bool StopDrawing = false;     // the user asked to stop painting
};

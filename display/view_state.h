#pragma once
// What a map shows: the level grid of the last successful load and the variables that say how it
// is painted. Owned by whoever shows the map: the window and the headless renderer.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "level_grid.h"
#include "level_units.h"
#include "measurement.h"

// The values the view starts with.
inline constexpr float kStartPeakLevel = 0.0f;
inline constexpr float kStartRangeDb = 100.0f;
inline constexpr std::int32_t kStartDecimation = 4;

struct ViewState {
  ::LevelGrid LevelGrid;
  std::int32_t SampleRate = 0;        // samples per second; SampleRate / Decimation rows per second
  std::int32_t Decimation = 0;        // samples summed into one row by the recording reader
  float PeakLevel = kStartPeakLevel;  // largest level stored on Scale (never lowered on it)
  float RangeDb = 0.0f;               // level span from black (PeakLevel) to white
  bool StopDrawing = false;           // the user asked to stop painting
  std::optional<LevelScale> Scale;    // of LevelGrid's levels, once a file is loaded
  ColumnLabels Columns;               // what each column of the grid stands for
  LoadChoices Choices;                // the answers its load took: a reload takes them again
  std::vector<std::string> Notes;     // what the map does not show of the file
};

// The peak that a load of a file whose levels are on `next` starts from: the peak so far when the
// levels shown are on the same scale, else the start-up peak, since a peak on one scale means
// nothing on another (a dB peak of 60 would paint a map of 10·ln E levels all white).
inline float PeakForLoad(const ViewState& state, LevelScale next) {
  return state.Scale == next ? state.PeakLevel : kStartPeakLevel;
}

// Takes a successful load: its grid, its sampling rate when its kind has one, its peak.
inline void TakeMeasurement(ViewState& state, Measurement&& measurement) {
  state.LevelGrid = std::move(measurement.grid);
  if (measurement.sampleRate) state.SampleRate = *measurement.sampleRate;
  state.PeakLevel = measurement.peakLevel;
  state.Columns = std::move(measurement.columns);
  state.Choices = std::move(measurement.choices);
  state.Notes = std::move(measurement.notes);
}
// The same for a load whose levels are on `scale`.
inline void TakeMeasurement(ViewState& state, Measurement&& measurement, LevelScale scale) {
  TakeMeasurement(state, std::move(measurement));
  state.Scale = scale;
}

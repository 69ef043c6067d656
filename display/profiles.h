#pragma once
// Slices through a map: the level against time at one microphone, and the level across the
// microphones at one time row. The Profiles window plots them and the renderer writes them, with
// the same numbers.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "view_state.h"

struct Profile {
  std::string positionName;       // "time_ms", "row" or "microphone"
  std::vector<double> positions;  // milliseconds, row numbers or microphone numbers (from 1)
  int positionDecimals = -1;      // decimals the positions are written with; -1: as they are
  std::vector<float> levels;
  std::vector<float> referenceLevels;  // the reference's, where it has the cell; else empty
  bool withReference = false;          // made with a reference, whether or not it has the cells
};

// True when the state's rows have a time: a sampling rate and a decimation are known.
bool RowsHaveTime(const ViewState& state);
// The time at which row r (from 1) starts, in milliseconds: (r - 1) x Decimation / SampleRate,
// where the time scale places the row's top edge (0 at the map's top). The read-out gives it.
double RowMilliseconds(const ViewState& state, std::int32_t row);
// Decimals that tell the rows' times apart, with three significant digits of the row's length.
int MillisecondDecimals(const ViewState& state);

// The level of every row of column (from 1) against time, or row numbers without a time. With a
// reference, its levels of the same column over the rows it has. Empty outside the grid.
Profile TimeProfile(const ViewState& state, std::int32_t column,
                    const LevelGrid* reference = nullptr);
// The level of every microphone at row (from 1); with a reference, its levels likewise.
Profile AcrossProfile(const ViewState& state, std::int32_t row,
                      const LevelGrid* reference = nullptr);

// CSV with a header line: "time_ms,level" (or "row,level", "microphone,level"), with a third
// column "reference_level" when the profile was made with a reference (empty where the reference
// has no cell), so that the columns do not depend on the cell chosen. Numbers in the C locale,
// levels with 9 significant digits so that they read back exactly as floats, times with the
// profile's decimals and no trailing zeros (0.5, 1, 33.3333).
std::string ProfileCsv(const Profile& profile);

// The row of the time profile's loudest level (the first of equals), nullopt when it is empty.
std::optional<std::size_t> LoudestPoint(const Profile& profile);

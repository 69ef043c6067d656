#pragma once
// A measurement compared with a reference: the difference of their levels over the rows and
// microphones both grids have, and what the legend says about the comparison.

#include <cstdint>
#include <string>

#include "level_units.h"
#include "view_state.h"

// Measurement minus reference, cell by cell in single precision, over the common rows and
// microphones (the smaller count of each).
LevelGrid DifferenceGrid(const LevelGrid& measurement, const LevelGrid& reference);

// The difference as a map to paint with Palette::Difference: its peak is +|RangeDb| and its white
// end -|RangeDb| of the measurement's view, so that a difference of 0 is grey 128 and the colours
// saturate at plus or minus the span. Sampling rate and decimation are the measurement's.
ViewState DifferenceView(const ViewState& measurement, const LevelGrid& reference);

// For the legend: "reference: 48 × 400", and when the sizes differ ", compared: 48 × 400 of
// 64 × 512" (microphones × rows); "; different kinds: level scales differ" when the two levels
// are on different scales.
std::string ComparisonNote(const LevelGrid& measurement, LevelScale measurementScale,
                           const LevelGrid& reference, LevelScale referenceScale);

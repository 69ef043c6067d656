#include "compare.h"

#include <algorithm>
#include <cmath>

namespace {

std::string SizeText(std::int32_t mics, std::int32_t rows) {
  return std::to_string(mics) + " \u00d7 " + std::to_string(rows);
}

}  // namespace

LevelGrid DifferenceGrid(const LevelGrid& measurement, const LevelGrid& reference) {
  const std::int32_t mics = std::min(measurement.MicCount(), reference.MicCount());
  const std::int32_t rows = std::min(measurement.RowCount(), reference.RowCount());
  LevelGrid difference(rows, mics);
  for (std::int32_t c = 1; c <= mics; ++c) {
    const auto from = measurement.DataColumn(c);
    const auto minus = reference.DataColumn(c);
    const auto to = difference.DataColumn(c);
    for (std::size_t r = 0; r < to.size(); ++r) to[r] = from[r] - minus[r];
  }
  return difference;
}

ViewState DifferenceView(const ViewState& measurement, const LevelGrid& reference) {
  ViewState view;
  view.LevelGrid = DifferenceGrid(measurement.LevelGrid, reference);
  view.SampleRate = measurement.SampleRate;
  view.Decimation = measurement.Decimation;
  // The magnitude: a negative span (which paints an ordinary map black) must not swap the hues.
  const float span = std::fabs(measurement.RangeDb);
  view.PeakLevel = span;
  view.RangeDb = 2.0f * span;
  return view;
}

std::string ComparisonNote(const LevelGrid& measurement, LevelScale measurementScale,
                           const LevelGrid& reference, LevelScale referenceScale) {
  std::string note = "reference: " + SizeText(reference.MicCount(), reference.RowCount());
  const std::int32_t mics = std::min(measurement.MicCount(), reference.MicCount());
  const std::int32_t rows = std::min(measurement.RowCount(), reference.RowCount());
  if (measurement.MicCount() != reference.MicCount() ||
      measurement.RowCount() != reference.RowCount()) {
    note += ", compared: " + SizeText(mics, rows) + " of " +
            SizeText(measurement.MicCount(), measurement.RowCount());
  }
  if (measurementScale != referenceScale) note += "; different kinds: level scales differ";
  return note;
}

#pragma once
// A reference measurement beside the window's own, and which of the three maps is shown: the
// measurement (as designed), the reference, or their difference. The reference has a state of its
// own; loading it changes nothing of the window's.

#include <QString>
#include <optional>
#include <string>

#include "level_units.h"
#include "measurement.h"
#include "view_state.h"

enum class ShownMap { Measurement, Reference, Difference };

class MapView;

class Comparison {
 public:
  // The scale of the window's own measurement.
  void SetMainScale(LevelScale scale) { mainScale_ = scale; }
  LevelScale MainScale() const { return mainScale_; }
  bool HasReference() const { return reference_.has_value(); }
  const LevelGrid* ReferenceGrid() const {
    return reference_ ? &reference_->state.LevelGrid : nullptr;
  }
  void SetReference(Measurement&& measurement, LevelScale scale, std::string fileName);
  void DropReference();

  ShownMap Shown() const { return shown_; }
  // The reference's file; empty without one.
  std::string ReferenceFileName() const {
    return reference_ ? reference_->fileName : std::string();
  }
  std::int32_t ReferenceSampleRate() const { return reference_ ? reference_->state.SampleRate : 0; }
  // Measurement, reference, difference, and round again; the measurement alone without a
  // reference.
  void ShowNext();

  // The state to paint: main itself, the reference's (with main's span and decimation), or the
  // difference's (see DifferenceView). Valid until the next call.
  ViewState& ShownState(ViewState& main);
  // A click during a paint of the reference or the difference stops it, as it stops the
  // measurement's (without making the shown state again, which the paint is reading).
  void StopDrawing();
  // The scale of the shown map's levels, given the measurement's.
  LevelScale ShownScale(LevelScale mainScale) const;
  // Readies view to show the shown map (its state, scale, palette, legend note and read-out) and
  // returns the state to paint.
  ViewState& PrepareView(MapView& view, ViewState& main);
  // The legend's lines: which map is shown and what is compared ("" for the measurement alone):
  // the difference's first line is "difference, ± span", its second "A − B" (own file names).
  std::string LegendNote(const ViewState& main, LevelScale mainScale) const;
  // What is shown, for the title and the status bar: the measurement's own file name ("A"), the
  // reference's ("B (reference)") or "A − B".
  QString ShownText() const;
  // The measurement's file, for the names above.
  void SetMainFile(std::string fileName) { mainFile_ = std::move(fileName); }
  // The read-out of cell (column, row) from 1 on the difference map: both levels and their
  // difference; empty outside the common cells.
  std::string DifferenceReadout(const ViewState& main, LevelScale mainScale, std::int32_t column,
                                std::int32_t row, const std::string& decimalPoint) const;

 private:
  struct Reference {
    ViewState state;
    LevelScale scale;
    std::string fileName;
  };
  std::optional<Reference> reference_;
  ViewState difference_;
  ShownMap shown_ = ShownMap::Measurement;
  LevelScale mainScale_ = LevelScale::Decibel;
  std::string mainFile_;
};

#include "comparison.h"

#include <QLocale>
#include <QString>
#include <algorithm>
#include <cmath>

#include "compare.h"
#include "file_names.h"
#include "map_view.h"

void Comparison::SetReference(Measurement&& measurement, LevelScale scale, std::string fileName) {
  Reference reference{{}, scale, std::move(fileName)};
  TakeMeasurement(reference.state, std::move(measurement));
  reference_ = std::move(reference);
}

void Comparison::DropReference() {
  reference_.reset();
  difference_ = {};
  shown_ = ShownMap::Measurement;
}

void Comparison::ShowNext() {
  if (!reference_) {
    shown_ = ShownMap::Measurement;
    return;
  }
  shown_ = shown_ == ShownMap::Measurement ? ShownMap::Reference
           : shown_ == ShownMap::Reference ? ShownMap::Difference
                                           : ShownMap::Measurement;
}

ViewState& Comparison::ShownState(ViewState& main) {
  if (!reference_ || shown_ == ShownMap::Measurement) return main;
  if (shown_ == ShownMap::Reference) {
    ViewState& state = reference_->state;
    state.RangeDb = main.RangeDb;
    state.Decimation = main.Decimation;
    return state;
  }
  difference_ = DifferenceView(main, reference_->state.LevelGrid);
  return difference_;
}

void Comparison::StopDrawing() {
  if (reference_) reference_->state.StopDrawing = true;
  difference_.StopDrawing = true;
}

LevelScale Comparison::ShownScale(LevelScale mainScale) const {
  return reference_ && shown_ == ShownMap::Reference ? reference_->scale : mainScale;
}

namespace {

QString OwnName(const std::string& path) {
  return FileNameText(path.substr(path.find_last_of('/') + 1));
}

}  // namespace

QString Comparison::ShownText() const {
  if (!reference_ || shown_ == ShownMap::Measurement) return OwnName(mainFile_);
  if (shown_ == ShownMap::Reference) return OwnName(reference_->fileName) + " (reference)";
  return OwnName(mainFile_) + QString::fromUtf8(" \u2212 ") + OwnName(reference_->fileName);
}

std::string Comparison::LegendNote(const ViewState& main, LevelScale mainScale) const {
  if (!reference_) return {};
  std::string lines;
  if (shown_ == ShownMap::Difference) {
    const QString point = QLocale().decimalPoint();
    lines = "difference, \u00b1 " +
            LevelText(mainScale, std::fabs(main.RangeDb), 1, point).toStdString() + "\n" +
            ShownText().toStdString();
  } else {
    lines = shown_ == ShownMap::Measurement ? "measurement" : "reference";
  }
  lines += "\nreference file: " + OwnName(reference_->fileName).toStdString();
  // The comparison note, one line per part.
  const std::string note =
      ComparisonNote(main.LevelGrid, mainScale, reference_->state.LevelGrid, reference_->scale);
  for (std::size_t from = 0; from < note.size();) {
    std::size_t end = note.find_first_of(",;", from);
    if (end == std::string::npos) end = note.size();
    const std::size_t start = note.find_first_not_of(' ', from);
    lines += '\n';
    lines.append(note, start, end - start);
    from = end + 1;
  }
  return lines;
}

std::string Comparison::DifferenceReadout(const ViewState& main, LevelScale mainScale,
                                          std::int32_t column, std::int32_t row,
                                          const std::string& decimalPoint) const {
  if (!reference_) return {};
  const LevelGrid& theirs = reference_->state.LevelGrid;
  const LevelGrid& ours = main.LevelGrid;
  if (column < 1 || row < 1 || column > std::min(ours.MicCount(), theirs.MicCount()) ||
      row > std::min(ours.RowCount(), theirs.RowCount())) {
    return {};
  }
  const QString point = QString::fromStdString(decimalPoint);
  const float mine = ours.At(row, column);
  const float reference = theirs.At(row, column);
  return "Microphone " + std::to_string(column) + ", row " + std::to_string(row) +
         "\nMeasurement " + LevelText(mainScale, mine, 2, point).toStdString() + "\nReference " +
         LevelText(reference_->scale, reference, 2, point).toStdString() + "\nDifference " +
         LevelText(mainScale, mine - reference, 2, point).toStdString();
}

ViewState& Comparison::PrepareView(MapView& view, ViewState& main) {
  ViewState& shown = ShownState(main);
  view.SetShownState(shown);
  view.SetLevelScale(ShownScale(mainScale_));
  const bool difference = reference_ && shown_ == ShownMap::Difference;
  view.SetPaletteOverride(difference ? std::optional(Palette::Difference) : std::nullopt);
  view.SetLegendNote(QString::fromStdString(LegendNote(main, mainScale_)));
  if (difference) {
    view.SetReadoutText([this, &main](std::int32_t column, std::int32_t row) {
      return DifferenceReadout(main, mainScale_, column, row,
                               QLocale().decimalPoint().toStdString());
    });
  } else {
    view.SetReadoutText({});
  }
  return shown;
}

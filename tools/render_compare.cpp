#include "render_compare.h"

#include <stdexcept>

#include "compare.h"
#include "profiles.h"
#include "render_steps.h"
#include "shown_name.h"

std::optional<Reference> LoadReference(const RenderOptions& options) {
  if (!options.referencePath) return std::nullopt;
  Reference reference{*options.referencePath, StartState(options)};
  // Its grid is never painted on its own: the picture check belongs to the measurement's load.
  RenderHost host(options.period, std::nullopt);
  if (const auto cause = LoadInto(reference.state, reference.file, host, options.choices)) {
    throw std::runtime_error("cannot load the reference " + ShownName(reference.file) + ": " +
                             *cause);
  }
  return reference;
}

std::optional<ViewState> DifferenceOf(const ViewState& state, const Reference* reference) {
  if (reference == nullptr) return std::nullopt;
  return DifferenceView(state, reference->state.LevelGrid);
}

std::optional<std::string> NoCommonCells(const ViewState& difference, const Reference& reference) {
  const LevelGrid& grid = difference.LevelGrid;
  if (grid.MicCount() > 0 && grid.RowCount() > 0) return std::nullopt;
  const LevelGrid& theirs = reference.state.LevelGrid;
  return " has no cells in common with the reference " + ShownName(reference.file) + " (" +
         std::to_string(theirs.MicCount()) + " microphone positions, " +
         std::to_string(theirs.RowCount()) + " time rows)";
}

std::string ReferenceJson(const Reference* reference) {
  if (reference == nullptr) return {};
  return ", \"reference\": {\"file\": " + JsonString(reference->file) + ", " +
         JsonSummary(reference->state, reference->file) + "}";
}

std::string ProfilesCsv(const RenderOptions& options, const ViewState& state,
                        const std::string& file, const Reference* reference) {
  const LevelGrid& grid = state.LevelGrid;
  const LevelGrid* theirs = reference != nullptr ? &reference->state.LevelGrid : nullptr;
  std::string csv;
  if (options.profileColumn) {
    if (*options.profileColumn > grid.MicCount()) {
      throw std::runtime_error("--profile-column " + std::to_string(*options.profileColumn) +
                               " lies beyond the " + std::to_string(grid.MicCount()) +
                               " microphone positions of " + ShownName(file));
    }
    csv += ProfileCsv(TimeProfile(state, *options.profileColumn, theirs));
  }
  if (options.profileRow) {
    if (*options.profileRow > grid.RowCount()) {
      throw std::runtime_error("--profile-row " + std::to_string(*options.profileRow) +
                               " lies beyond the " + std::to_string(grid.RowCount()) +
                               " time rows of " + ShownName(file));
    }
    if (!csv.empty()) csv += '\n';
    csv += ProfileCsv(AcrossProfile(state, *options.profileRow, theirs));
  }
  return csv;
}

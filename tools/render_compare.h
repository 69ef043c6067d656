#pragma once
// The renderer's comparison with --reference and its profiles of --profile-column and
// --profile-row.

#include <optional>
#include <string>

#include "render_options.h"
#include "view_state.h"

// REF of --reference in a state of its own, loaded as a viewer that has just started would load
// it (with the same --period); nothing of it reaches the measurement's state.
struct Reference {
  std::string file;
  ViewState state;
};

// Loads the reference the options name; nullopt without one. Throws std::runtime_error with the
// message for the user when it cannot be loaded.
std::optional<Reference> LoadReference(const RenderOptions& options);

// What the outputs show of a loaded measurement: nullopt for the measurement itself, else its
// difference from the reference as a map to paint (DifferenceView).
std::optional<ViewState> DifferenceOf(const ViewState& state, const Reference* reference);

// Why a difference has nothing to paint, to follow the measurement's name; nullopt when it holds
// cells.
std::optional<std::string> NoCommonCells(const ViewState& difference, const Reference& reference);

// The reference's summary as a JSON member ", \"reference\": {...}" to append to the file's own;
// empty without a reference.
std::string ReferenceJson(const Reference* reference);

// The CSV of the profiles the options ask for, of the measurement's state (with the reference's
// levels); empty when none is asked for. Throws std::runtime_error when the column or row lies
// outside the measurement's grid.
std::string ProfilesCsv(const RenderOptions& options, const ViewState& state,
                        const std::string& file, const Reference* reference);

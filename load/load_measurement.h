#pragma once

#include <string>

#include "load_host.h"
#include "view_state.h"

enum class LoadOutcome { Loaded, Refused, Cancelled };

// Loads one measurement file into the view state: chooses the reader by file kind, runs it in
// the busy state and, on success only, takes over its grid, counts, SampleRate and peak.
// A failure ends the busy state and throws LoadError with the cause; the state is untouched.
LoadOutcome LoadMeasurement(ViewState& state, const std::string& fileName, LoadHost& host);

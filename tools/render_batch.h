#pragma once

#include <ostream>

#include "render_options.h"

// The batch run of --output-dir DIR: each FILE is loaded on its own into the state of a viewer
// that has just started (a fresh peak for each) and written to DIR/NAME.png, and with
// --grid-format to DIR/NAME.npy or DIR/NAME.csv, with --figures to DIR/NAME.figures.csv, NAME being
// the file's own name; DIR is made if missing. A file that fails writes nothing and is reported on
// err; the others are still written. With --reference, REF is loaded once before the batch (when it
// fails, nothing is written) and each file's outputs show its difference from REF. With --json, one
// JSON object per line per file on out. Returns 1 when any file failed, else 3 when any map held no
// cells, else 0.
int RunBatch(const RenderOptions& options, std::ostream& out, std::ostream& err);

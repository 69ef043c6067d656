#pragma once
// Checks of the renderer's steps for the rendering fuzz target: each one traps when what it
// checks does not hold exactly.

#include <QByteArray>
#include <QImage>
#include <string>

#include "view_state.h"

// Paints state with DrawMap on a fresh image and checks the outcome: a DrawError exactly when a
// side is beyond what the toolkit shows or when a zero range meets a cell at the peak (0 / 0),
// otherwise one pixel per cell holding the cell's grey. The painted image; null when DrawMap threw
// or the grid has no cells.
QImage CheckPaint(ViewState& state);

// Encodes image as a PNG in memory, decodes it and checks that the decoded image is the same
// 8-bit greyscale picture. The PNG's bytes.
QByteArray CheckPngRoundTrip(const QImage& image);

// Checks an NPY file of grid: its header, its length (header + 4 bytes a cell) and its cells.
void CheckNpy(const LevelGrid& grid, const std::string& npy);

// Checks a CSV file of grid: RowCount lines of MicCount fields, each reading back to the very
// float of its cell.
void CheckCsv(const LevelGrid& grid, const std::string& csv);

// Writes the outputs through OutputFiles into a scratch folder of this process: the PNG of image
// (unless it is null) and the grid as NPY and as CSV (unless csv is null). With commit, the
// folder must then hold exactly those targets, each byte for byte as given; without, OutputFiles
// is dropped before Commit and the folder must be empty. The folder is removed afterwards.
void CheckOutputFiles(const QImage& image, const QByteArray& png, const LevelGrid& grid,
                      const std::string& npy, const std::string* csv, bool commit);

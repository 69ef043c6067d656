#pragma once
// Command line of the headless renderer.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "load_choices.h"
#include "palette.h"
#include "view_state.h"

enum class GridFormat { Npy, Csv };

struct RenderOptions {
  std::optional<std::string> period;  // answer to the repetition-period prompt
  // --channels, and the receiver, emitter and selection of SOFA sets (always set).
  LoadChoices choices;
  std::optional<std::int32_t> slice;  // samples per row; the viewer's start value without it
  float rangeDb = kStartRangeDb;
  std::optional<std::string> pngPath;    // the picture, in the format its extension names
  std::string pictureFormat = "png";     // Qt's name of that format
  std::optional<std::string> gridPath;   // ends in .npy or .csv
  std::optional<std::string> outputDir;  // batch: each file on its own, outputs named after it
  std::optional<GridFormat> gridFormat;  // batch: the grid file written beside each picture
  int zoom = 1;                          // each cell zoom x zoom pixels in the picture
  Palette palette = kDefaultPalette;
  bool legend = false;  // the picture shows the legend and the axes around the cells
  // Compared with this measurement, the outputs show FILE minus it (Palette::Difference).
  std::optional<std::string> referencePath;
  std::optional<std::int32_t> profileColumn;  // from 1: the time profile at this microphone
  std::optional<std::int32_t> profileRow;     // from 1: the across profile at this row
  std::optional<std::string> profileOut;      // the profiles' CSV; standard output without it
  // The acoustic figures of every position as CSV: a file, "-" for standard output; with
  // --output-dir "csv", for DIR/NAME.figures.csv.
  std::optional<std::string> figuresPath;
  bool json = false;
  bool help = false;
  bool version = false;
  std::vector<std::string> files;
};

// Throws std::invalid_argument with a message fit for the user when the arguments are wrong.
// Arguments are bytes, handed back unchanged in the options whatever their encoding.
RenderOptions ParseRenderOptions(const std::vector<std::string>& arguments);

// What --help and --version print.
std::string RenderHelpText();
std::string RenderVersionText();

// What the renderer adds to a file's own name in --output-dir.
std::string GridSuffix(GridFormat format);

// What --output-dir adds to a file's own name for its figures.
inline constexpr const char* kFiguresSuffix = ".figures.csv";

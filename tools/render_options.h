#pragma once
// Command line of the headless renderer.

#include <optional>
#include <string>
#include <vector>

#include "palette.h"
#include "view_state.h"

struct RenderOptions {
  std::optional<std::string> period;  // answer to the repetition-period prompt
  float rangeDb = kStartRangeDb;
  std::optional<std::string> pngPath;
  std::optional<std::string> gridPath;  // ends in .npy or .csv
  int zoom = 1;                         // each cell zoom x zoom pixels in the PNG
  Palette palette = kDefaultPalette;
  bool legend = false;  // the PNG shows the legend and the axes around the cells
  bool json = false;
  bool help = false;
  bool version = false;
  std::vector<std::string> files;
};

// Throws std::invalid_argument with a message fit for the user when the arguments are wrong.
RenderOptions ParseRenderOptions(const std::vector<std::string>& arguments);

extern const char* const kRenderUsage;

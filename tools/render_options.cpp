#include "render_options.h"

#include <QString>
#include <limits>
#include <stdexcept>

#include "number_text.h"
#include "range_rule.h"

const char* const kRenderUsage =
    "Usage: mlsvexal-render [--period P] [--range DB] [--png OUT.png] [--zoom K] [--palette NAME]\n"
    "                       [--legend] [--grid OUT.npy|OUT.csv] [--json] FILE [FILE...]\n"
    "Loads each FILE in order as the viewer would and writes the map of the last one.\n"
    "  --period P    repetition period of WAV and PCM recordings (seconds below 10, else samples)\n"
    "  --range DB    level span from black to white (default 100)\n"
    "  --png OUT     the map as an 8-bit PNG: greyscale for the grey palette, RGB for the others\n"
    "  --zoom K      K x K pixels per cell in the PNG (a whole number from 1; default 1)\n"
    "  --palette NAME colours of the PNG: grey (default), viridis, magma, inferno or cividis\n"
    "  --legend      the PNG (RGB) shows the colour bar, the peak and the axes around the cells\n"
    "  --grid OUT    the levels as float32: .npy (rows x microphones) or .csv (one line per row)\n"
    "  --json        a summary of the loaded state on standard output\n"
    "  --help, --version\n"
    "Exit status: 0 written, 1 a file could not be loaded, painted or written, 2 wrong\n"
    "arguments, 3 the map holds no cells (nothing is written).\n";

namespace {

bool EndsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

float ParseRange(const std::string& text) {
  const auto value = ParseDecimal(text);
  const auto range = value ? RangeFromNumber(*value) : RangeFault::TooLarge;
  if (const auto* fault = std::get_if<RangeFault>(&range)) {
    if (value && *fault == RangeFault::Zero) throw std::invalid_argument("--range must not be 0");
    throw std::invalid_argument("--range needs a number, not \"" + text + "\"");
  }
  return std::get<float>(range);
}

[[noreturn]] void RefuseZoom(const std::string& text) {
  throw std::invalid_argument("--zoom needs a whole number of 1 or more, not \"" + text + "\"");
}

int ParseZoom(const std::string& text) {
  if (text.empty() || text.size() > 10) RefuseZoom(text);
  long long zoom = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') RefuseZoom(text);
    zoom = zoom * 10 + (c - '0');
  }
  if (zoom < 1 || zoom > std::numeric_limits<int>::max()) RefuseZoom(text);
  return static_cast<int>(zoom);
}

Palette ParsePalette(const std::string& text) {
  if (const auto palette = PaletteFromKey(QString::fromStdString(text))) return *palette;
  std::string names;
  for (const Palette palette : kAllPalettes) {
    if (!names.empty()) names += palette == kAllPalettes.back() ? " or " : ", ";
    names += PaletteKey(palette).toStdString();
  }
  throw std::invalid_argument("unknown palette \"" + text + "\": use " + names);
}

}  // namespace

RenderOptions ParseRenderOptions(const std::vector<std::string>& arguments) {
  RenderOptions options;
  bool onlyFiles = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (onlyFiles || argument.empty() || argument[0] != '-' || argument == "-") {
      options.files.push_back(argument);
      continue;
    }
    const auto value = [&]() -> std::string {
      if (i + 1 >= arguments.size()) throw std::invalid_argument(argument + " needs a value");
      return arguments[++i];
    };
    if (argument == "--") {
      onlyFiles = true;
    } else if (argument == "--period") {
      options.period = value();
    } else if (argument == "--range") {
      options.rangeDb = ParseRange(value());
    } else if (argument == "--png") {
      options.pngPath = value();
    } else if (argument == "--zoom") {
      options.zoom = ParseZoom(value());
    } else if (argument == "--palette") {
      options.palette = ParsePalette(value());
    } else if (argument == "--legend") {
      options.legend = true;
    } else if (argument == "--grid") {
      options.gridPath = value();
      if (!EndsWith(*options.gridPath, ".npy") && !EndsWith(*options.gridPath, ".csv")) {
        throw std::invalid_argument("--grid writes .npy or .csv files, not \"" + *options.gridPath +
                                    "\"");
      }
    } else if (argument == "--json") {
      options.json = true;
    } else if (argument == "--help" || argument == "-h") {
      options.help = true;
    } else if (argument == "--version") {
      options.version = true;
    } else {
      throw std::invalid_argument("unknown option " + argument);
    }
  }
  if (!options.help && !options.version && options.files.empty()) {
    throw std::invalid_argument("no measurement file given");
  }
  return options;
}

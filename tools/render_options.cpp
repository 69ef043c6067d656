#include "render_options.h"

#include <stdexcept>

#include "number_text.h"
#include "range_rule.h"

const char* const kRenderUsage =
    "Usage: mlsvexal-render [--period P] [--range DB] [--png OUT.png] [--grid OUT.npy|OUT.csv]\n"
    "                       [--json] FILE [FILE...]\n"
    "Loads each FILE in order as the viewer would and writes the map of the last one.\n"
    "  --period P    repetition period of WAV and PCM recordings (seconds below 10, else samples)\n"
    "  --range DB    level span from black to white (default 100)\n"
    "  --png OUT     the map as an 8-bit greyscale PNG, one pixel per cell\n"
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

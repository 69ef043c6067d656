#include "option_values.h"

#include <limits>
#include <stdexcept>

#include "number_text.h"
#include "range_rule.h"
#include "render_picture.h"
#include "shown_name.h"

float ParseRange(const std::string& text) {
  const auto value = ParseDecimal(text);
  const auto range = value ? RangeFromNumber(*value) : RangeFault::TooLarge;
  if (const auto* fault = std::get_if<RangeFault>(&range)) {
    if (value && *fault == RangeFault::Zero) throw std::invalid_argument("--range must not be 0");
    throw std::invalid_argument("--range needs a number, not \"" + text + "\"");
  }
  return std::get<float>(range);
}

int ParseCount(const std::string& option, const std::string& text) {
  const auto refuse = [&] {
    return std::invalid_argument(option + " needs a whole number of 1 or more, not \"" + text +
                                 "\"");
  };
  if (text.empty() || text.size() > 10) throw refuse();
  long long count = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') throw refuse();
    count = count * 10 + (c - '0');
  }
  if (count < 1 || count > std::numeric_limits<int>::max()) throw refuse();
  return static_cast<int>(count);
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

std::string PictureFormat(const std::string& path) {
  const std::string name = path.substr(path.find_last_of('/') + 1);
  const auto dot = name.find_last_of('.');
  if (dot == std::string::npos) return "png";
  std::string extension = name.substr(dot + 1);
  for (char& c : extension) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  if (extension == "png") return extension;
  // Other formats are Qt's image writers, in the picture part.
  std::string known;
  try {
    if (Pictures().canWrite(extension)) return extension;
    known = Pictures().writableExtensions();
  } catch (const std::runtime_error& e) {
    throw std::invalid_argument("--png cannot write " + ShownName(path) + ": " + e.what());
  }
  throw std::invalid_argument("--png cannot write " + ShownName(path) +
                              ": no image writer for its extension; use one of " + known);
}

GridFormat ParseGridFormat(const std::string& text) {
  if (text == "npy") return GridFormat::Npy;
  if (text == "csv") return GridFormat::Csv;
  throw std::invalid_argument("--grid-format is npy or csv, not \"" + text + "\"");
}

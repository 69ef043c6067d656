#pragma once
// The renderer's option values, each checked and turned into what it means; a value that means
// nothing is a std::invalid_argument that names the option.

#include <string>

#include "palette.h"
#include "render_options.h"

// A black-to-white span, not 0.
float ParseRange(const std::string& text);
// A whole number from 1 that fits an int, for the option named option.
int ParseCount(const std::string& option, const std::string& text);
Palette ParsePalette(const std::string& text);
// Qt's name of the image format that a picture's extension (the text after the last "." of its
// own name, in any case) names; a name without extension is a PNG, as it always was.
std::string PictureFormat(const std::string& path);
GridFormat ParseGridFormat(const std::string& text);

#include "command_line.h"

#include <string_view>

namespace {

constexpr const char* kHelp =
    "Usage: mlsvexal [FILE]\n"
    "Shows an acoustic measurement as a level map: one column per microphone position, one row\n"
    "per time slice, the loudest level black.\n"
    "\n"
    "FILE is opened at start as a Browse choice would open it: an .mls spectrum measurement, a\n"
    "mono 16-bit .wav or raw float32 .pcm recording (the window asks for its repetition period),\n"
    "or a text export of a level table. The whole command line is the file's name, blanks\n"
    "included.\n"
    "\n"
    "Options (only as the whole command line):\n"
    "  -h, --help  Show this help and exit.\n"
    "  --version   Show the version and the license, and exit.\n"
    "\n"
    "A file named -h, --help or --version opens as ./-h, ./--help or ./--version.\n"
    "\n"
    "In the window, F1 lists every key and mouse action.\n"
    "mlsvexal-render draws the same maps without a window.\n";

constexpr const char* kVersion =
    "mlsvexal " MLSVEXAL_VERSION
    "\n"
    "License GPL-3.0-or-later: the GNU General Public License, version 3 or (at your option)\n"
    "any later version; its text is in the file LICENSE that comes with the program.\n"
    "This is free software: you are free to change and redistribute it.\n"
    "There is NO WARRANTY, to the extent permitted by law.\n";

}  // namespace

std::string CommandLineText(int argc, const char* const* argv) {
  std::string text;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) text += ' ';
    text += argv[i];
  }
  return text;
}

std::optional<std::string> CommandLineReply(int argc, const char* const* argv) {
  if (argc != 2) return std::nullopt;
  const std::string_view argument = argv[1];
  if (argument == "--help" || argument == "-h") return kHelp;
  if (argument == "--version") return kVersion;
  return std::nullopt;
}

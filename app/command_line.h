#pragma once

#include <optional>
#include <string>

// The program's arguments as one text: joined by single blanks, otherwise unchanged, so that a
// file name holding blanks arrives whole.
std::string CommandLineText(int argc, const char* const* argv);

// What the viewer prints instead of opening a window when its command line is exactly "--help"
// or "--version"; nullopt for every other command line (a file of that name opens as ./--help).
std::optional<std::string> CommandLineReply(int argc, const char* const* argv);

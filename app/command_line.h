#pragma once

#include <string>

// The program's arguments as one text: joined by single blanks, otherwise unchanged, so that a
// file name holding blanks arrives whole.
std::string CommandLineText(int argc, const char* const* argv);

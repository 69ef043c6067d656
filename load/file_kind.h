#pragma once

#include <string>

// The upper-cased text after the first "." of the whole name (the whole name when it has none).
std::string FileKindOf(const std::string& fileName);

enum class ReaderKind { Mls, Wav, Pcm, TextMap };

// Exact comparison in the fixed order MLS, WAV, PCM; anything else is the text export.
ReaderKind ReaderFor(const std::string& fileKind);

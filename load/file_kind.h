#pragma once

#include <string>

// The upper-cased text after the first "." of the file's own name, the part after the last "/"
// (the whole own name when it has no "."). Only "/" separates folders.
std::string FileKindOf(const std::string& fileName);

enum class ReaderKind { Mls, Wav, Pcm, TextMap };

// Exact comparison in the fixed order MLS, WAV, PCM; anything else is the text export.
ReaderKind ReaderFor(const std::string& fileKind);

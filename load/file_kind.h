#pragma once

#include <string>

// The upper-cased text after the first "." of the file's own name, the part after the last "/"
// (the whole own name when it has no "."). Only "/" separates folders.
std::string FileKindOf(const std::string& fileName);

enum class ReaderKind { Mls, Wav, Pcm, Sofa, Audio, TextMap };

// Exact comparison: MLS, WAV, PCM, SOFA, and the audio formats FLAC, AIF, AIFF, W64, RF64 and
// CAF; anything else is the text export.
ReaderKind ReaderFor(const std::string& fileKind);

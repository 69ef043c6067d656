#include "file_kind.h"

#include <cctype>

std::string FileKindOf(const std::string& fileName) {
  // Only the file's own name counts: a "." in a folder name says nothing about the file.
  const auto slash = fileName.rfind('/');
  const std::string name = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
  const auto dot = name.find('.');
  std::string kind = dot == std::string::npos ? name : name.substr(dot + 1);
  for (char& c : kind) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return kind;
}

ReaderKind ReaderFor(const std::string& fileKind) {
  if (fileKind == "MLS") return ReaderKind::Mls;
  if (fileKind == "WAV") return ReaderKind::Wav;
  if (fileKind == "PCM") return ReaderKind::Pcm;
  if (fileKind == "SOFA") return ReaderKind::Sofa;
  for (const char* audio : {"FLAC", "AIF", "AIFF", "W64", "RF64", "CAF"}) {
    if (fileKind == audio) return ReaderKind::Audio;
  }
  return ReaderKind::TextMap;
}

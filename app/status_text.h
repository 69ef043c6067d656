#pragma once
// The status bar's line: what the window shows, in words.

#include <QString>
#include <cstdint>
#include <string>

#include "level_units.h"

struct StatusFacts {
  std::string file;             // the shown file's path; empty before any map
  std::int32_t micCount = 0;    // columns of the shown map
  std::int32_t rowCount = 0;    // rows of the shown map
  std::int32_t sampleRate = 0;  // 0: the map has no time scale in ms
  std::string rateSource;       // the file the rate came from, when not the shown file itself
  QString zoom;                 // "100%", "1:4"
  QString palette;              // "grey"
  float rangeDb = 0.0f;         // the span, in the level's unit
  LevelScale scale = LevelScale::Decibel;
  QString mode;  // "measurement", "reference", "difference"
};

// "room.mls · MLS spectrum · 64 × 400 · no rate (rows) · zoom 100% · Grey ·
// span 100 20·ln|X|² (21.7 dB) · measurement"; "No file" before any map.
QString StatusText(const StatusFacts& facts);

// "time from hall.__lev's rate, 20000 Hz": an .mls shown with the rate of an earlier file.
QString BorrowedRateText(const std::string& source, std::int32_t sampleRate);

// "MLS spectrum", "WAV recording", "PCM recording", "text export": the kind of a file by its name.
QString KindText(const std::string& fileName);

#pragma once
// The answers a load can be given before it starts, and hands back with what it read: a reload
// with the same choices reads the same columns without asking again.

#include <cstdint>
#include <optional>
#include <string>

// Which measurements of a SOFA set become the columns.
enum class SofaSelection {
  All,         // every measurement, in file order
  Horizontal,  // |elevation| <= 2 degrees, by azimuth
  Median,      // azimuth within 2 degrees of 0 or 180, by polar angle
};

struct SofaChoice {
  std::int32_t receiver = 1;  // from 1
  std::int32_t emitter = 1;   // from 1
  SofaSelection selection = SofaSelection::All;
  bool operator==(const SofaChoice&) const = default;
};

struct LoadChoices {
  // Audio files: every channel is a column (a mono file gives one), instead of periods.
  bool channelsAsPositions = false;
  // Recordings: the answer to the period prompt; asked when missing.
  std::optional<std::string> period;
  // SOFA sets: receiver, emitter and columns; asked when missing.
  std::optional<SofaChoice> sofa;
  bool operator==(const LoadChoices&) const = default;
};

// "all", "horizontal", "median": the selection's key on command lines.
const char* SofaSelectionKey(SofaSelection selection);
std::optional<SofaSelection> SofaSelectionFromKey(const std::string& key);

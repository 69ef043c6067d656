#pragma once
// Redraw's dB range as text: the default answer and the checks on the user's answer.

#include <functional>
#include <optional>
#include <string>
#include <variant>

#include "level_units.h"

// value formatted by the pattern "###.##": two decimals at most, trailing zeros dropped, no zero
// before the separator, the separator always written (100 -> "100.", 0.25 -> ".25").
std::string FormatRangeText(float value, const std::string& decimalPoint);

// What the span means for the levels shown, for a second line under Redraw's prompt, the span in
// the levels' unit and in dB: "Levels of this file: 10·ln E — 100 = 43.4 dB".
std::string RangeMeaning(LevelScale scale, float range, const std::string& decimalPoint);

// A refused answer: the short message to show.
struct RangeRefusal {
  std::string message;
};

// The answer as the new range: a number (as toNumber reads it) that the range rule accepts.
std::variant<float, RangeRefusal> ReadRangeAnswer(
    const std::string& answer,
    const std::function<std::optional<double>(const std::string&)>& toNumber);

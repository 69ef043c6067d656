#pragma once
// One microphone block of a text level-map export: six lines, then a table of rows of ten
// numbers whose sixth gives the level. Shared by the reader and its second core.

#include <atomic>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "text_scanner.h"

inline constexpr std::string_view kTextMarker = "[Microph";

// Throws the LoadError for a file that ends early: "it is empty, WHERE" or "it ends after line N,
// WHERE".
[[noreturn]] void TextEndedEarly(const TextScanner& text, const std::string& where);

// Reads block `mic` (1-based, as messages name it): its six lines and column.size() rows into
// column as levels (10 log10 of the sixth number, -100 when it is not above 0), raising peak.
// The first block's first line sets markersInsideBlocks (it starts with the marker). Then, when
// another block follows and the blocks have no marker lines of their own, the blank lines and the
// marker line that may stand before it. Throws LoadError naming the line and what was expected,
// and TextBlockStopped soon after *stop becomes true.
struct TextBlockStopped {};
void ReadTextBlock(TextScanner& text, std::int64_t mic, bool anotherFollows,
                   bool& markersInsideBlocks, std::span<float> column, float& peak,
                   const std::atomic<bool>* stop = nullptr);

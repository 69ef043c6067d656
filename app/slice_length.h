#pragma once
// The slice length as the window sets it: T and Shift+T step it, "Slice length…" reads it, and
// only maps made of slices of samples take it.

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

inline constexpr std::int32_t kMaxWindowSlice = 1024;

// Twice (direction > 0) or half (direction < 0) of decimation, within 1..kMaxWindowSlice.
std::int32_t SteppedSliceLength(std::int32_t decimation, int direction);

// A typed slice length: the whole number, or the message that says what is wrong with it.
std::variant<std::int32_t, std::string> ReadSliceAnswer(const std::string& answer);

// Why the map of fileName keeps its slices (it is not made of slices of samples); nullopt when
// the slice length applies to it.
std::optional<std::string> SliceLengthRefusal(const std::string& fileName);

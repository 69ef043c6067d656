#pragma once
// The figures of every position as CSV text, written the same way by the renderer and the window.

#include <optional>
#include <string>
#include <vector>

#include "room_figures.h"

inline constexpr const char* kFiguresCsvHeader =
    "position,onset_ms,edt_s,t20_s,t30_s,c50_db,c80_db,d50_percent,ts_ms";

// A figure with up to 9 significant digits, "." as the decimal point whatever the locale; empty
// when it is not given.
std::string FigureText(const std::optional<double>& value);

// The header line, then one line per position (from 1) in map order.
std::string FiguresCsv(const std::vector<RoomFigures>& figures);

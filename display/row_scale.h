#pragma once
// The time scale beside the map: ticks at round steps (1, 2 or 5 x 10^n milliseconds, or rows for
// a map without a sampling rate) about one label per kTimeLabelSpacing pixels at the map's zoom,
// none beyond the data's end. At one pixel per row with a rate the designed ticks (every 5 ms
// from 0) stay.

#include <QString>
#include <cstdint>
#include <vector>

inline constexpr int kTimeLabelSpacing = 50;  // wanted pixels from one label to the next
inline constexpr int kDesignedMsStep = 5;
// The least pixels between two labels, below which the designed ticks give way to round steps.
inline constexpr int kTimeLabelGap = 16;

struct TimeTick {
  // Rows below the map's top edge: t x rows per ms for a time t (0 at the top edge, where the
  // first slice starts); r - 0.5 for row r (the middle of that row).
  double offsetRows;
  QString label;  // "12.5", or the row number
};

struct TimeScale {
  std::vector<TimeTick> ticks;  // top to bottom
  QString unit;                 // "ms", or "row" without a rate
};

// rowCount rows; rowsPerMs: rows per millisecond (0 or less: the file has no rate, the scale
// counts rows); pixelsPerRow: view pixels per row at the zoom (1 / out at 1:out).
// With a rate: ticks at multiples of the smallest 1-2-5 step in ms whose ticks lie at least
// kTimeLabelSpacing pixels apart, from 0 to the end of the last row; at exactly one pixel per
// row every kDesignedMsStep ms instead, when those lie kTimeLabelGap pixels apart or more. Without
// a rate: the multiples of the smallest such step in rows up to rowCount, and row 1. Only the
// ticks whose offsets lie from `from` to `to` rows (those on screen). Empty for no rows or a
// pixelsPerRow that is not positive.
TimeScale TimeTicks(std::int32_t rowCount, double rowsPerMs, double pixelsPerRow, double from = 0.0,
                    double to = 1e300);
// Metres that sound travels in a millisecond, at 343 m/s.
inline constexpr double kSoundMetresPerMs = 0.343;
// Decimals of the distances of a scale's ticks: three significant digits of its step's distance
// (0 for a scale with fewer than two ticks).
int DistanceDecimals(const TimeScale& scale);

// The ticks whose labels are the widest: the first and those of the last 3 spacings.
TimeScale WidestTimeTicks(std::int32_t rowCount, double rowsPerMs, double pixelsPerRow);

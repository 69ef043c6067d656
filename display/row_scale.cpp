#include "row_scale.h"

#include <algorithm>
#include <cmath>

namespace {

// A step of mantissa x 10^exponent: 1, 2 or 5 times a power of ten.
struct RoundStep {
  int mantissa;
  int exponent;
  double Value() const { return mantissa * std::pow(10.0, exponent); }
};

// The smallest 1-2-5 step from 10^lowest on whose length in pixels (step x pixelsPerUnit) is at
// least `spacing`.
RoundStep SmallestStep(double pixelsPerUnit, int lowest, double spacing) {
  for (int exponent = lowest; exponent < 12; ++exponent) {
    for (const int mantissa : {1, 2, 5}) {
      const RoundStep step{mantissa, exponent};
      if (step.Value() * pixelsPerUnit >= spacing) return step;
    }
  }
  return RoundStep{1, 12};
}

// k steps, written with the decimals the step needs (k x 0.2 = "0.6", k x 5 = "15").
QString StepText(std::int64_t k, RoundStep step) {
  if (step.exponent >= 0) {
    return QString::number(k * step.mantissa *
                           static_cast<std::int64_t>(std::pow(10, step.exponent)));
  }
  return QString::number(static_cast<double>(k * step.mantissa) / std::pow(10.0, -step.exponent),
                         'f', -step.exponent);
}

}  // namespace

TimeScale TimeTicks(std::int32_t rowCount, double rowsPerMs, double pixelsPerRow, double from,
                    double to) {
  TimeScale scale;
  const bool rate = rowsPerMs > 0.0 && std::isfinite(rowsPerMs);
  scale.unit = rate ? QStringLiteral("ms") : QStringLiteral("row");
  if (rowCount < 1 || !(pixelsPerRow > 0.0)) return scale;

  if (!rate) {
    const RoundStep step = SmallestStep(pixelsPerRow, 0, kTimeLabelSpacing);
    const auto every = static_cast<std::int64_t>(step.Value());
    // Row 1 too: the step keeps at least half a spacing between it and the first multiple.
    if (from <= 0.5 && 0.5 <= to) scale.ticks.push_back({0.5, QStringLiteral("1")});
    const auto firstRow = static_cast<std::int64_t>(
        std::max(1.0, std::ceil((std::max(from, 0.0) + 0.5) / static_cast<double>(every))));
    const double last = std::min(static_cast<double>(rowCount), to + 0.5);
    for (std::int64_t row = std::max<std::int64_t>(every == 1 ? 2 : every, firstRow * every);
         static_cast<double>(row) <= last; row += every) {
      scale.ticks.push_back({static_cast<double>(row) - 0.5, QString::number(row)});
    }
    return scale;
  }

  const bool designed = pixelsPerRow == 1.0 && kDesignedMsStep * rowsPerMs >= kTimeLabelGap;
  const RoundStep step = designed ? RoundStep{kDesignedMsStep, 0}
                                  : SmallestStep(rowsPerMs * pixelsPerRow, -6, kTimeLabelSpacing);
  const double endMs = std::min(static_cast<double>(rowCount), to) / rowsPerMs;
  const double stepMs = step.exponent >= 0 ? step.mantissa * std::pow(10.0, step.exponent)
                                           : step.mantissa / std::pow(10.0, -step.exponent);
  const auto firstK =
      static_cast<std::int64_t>(std::max(0.0, std::ceil(from / rowsPerMs / stepMs - 1e-9)));
  for (std::int64_t k = firstK;; ++k) {
    const double ms = step.exponent >= 0
                          ? static_cast<double>(k * step.mantissa) * std::pow(10.0, step.exponent)
                          : static_cast<double>(k * step.mantissa) / std::pow(10.0, -step.exponent);
    if (ms > endMs * (1.0 + 1e-12)) break;
    scale.ticks.push_back({ms * rowsPerMs, StepText(k, step)});
  }
  return scale;
}

TimeScale WidestTimeTicks(std::int32_t rowCount, double rowsPerMs, double pixelsPerRow) {
  TimeScale scale = TimeTicks(rowCount, rowsPerMs, pixelsPerRow, 0.0, 0.5);
  if (!(pixelsPerRow > 0.0)) return scale;
  const double lastRows = 3.0 * kTimeLabelSpacing / pixelsPerRow;
  const TimeScale end =
      TimeTicks(rowCount, rowsPerMs, pixelsPerRow, std::max(1.0, rowCount - lastRows));
  scale.ticks.insert(scale.ticks.end(), end.ticks.begin(), end.ticks.end());
  return scale;
}

int DistanceDecimals(const TimeScale& scale) {
  if (scale.ticks.size() < 2) return 2;
  const double stepMs = std::abs(scale.ticks[1].label.toDouble() - scale.ticks[0].label.toDouble());
  if (!(stepMs > 0.0)) return 2;
  return std::clamp(2 - static_cast<int>(std::floor(std::log10(stepMs * kSoundMetresPerMs))), 0, 9);
}

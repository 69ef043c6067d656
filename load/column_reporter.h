#pragma once
// Progress and yields of a reader, one report per finished column.

#include <cmath>
#include <cstdint>

#include "load_host.h"
#include "rounding.h"

// A column without cells costs nothing to read, so a header that promises millions of empty
// columns would spend the whole load in the event loop. Empty columns therefore report (progress,
// then one yield) only when the whole percentage moves, which for up to 100 columns is every one.
class ColumnReporter {
 public:
  explicit ColumnReporter(LoadHost& host) : host_(host) {}

  // A finished column whose progress is numerator / denominator x 100.
  void Report(std::int64_t numerator, std::int32_t denominator, bool columnIsEmpty) {
    const double percent = Percent(numerator, denominator);
    const double whole = std::floor(percent);
    if (columnIsEmpty && whole == lastWhole_) return;
    lastWhole_ = whole;
    host_.SetProgress(static_cast<float>(percent));
    host_.Yield();
  }

  // The reports of empty columns first .. first + count - 1, without visiting every column.
  void ReportEmpty(std::int64_t first, std::int64_t count, std::int32_t denominator) {
    const std::int64_t last = first + count - 1;
    for (std::int64_t n = first; n <= last;) {
      Report(n, denominator, true);
      // Jump to the first numerator whose whole percentage is larger (percent grows with n).
      const double next = std::floor(Percent(n, denominator)) + 1.0;
      std::int64_t m = RoundToInt<std::int64_t>(next * denominator / 100.0) - 2;
      if (m <= n) m = n + 1;
      while (m <= last && Percent(m, denominator) < next) ++m;
      n = m;
    }
  }

 private:
  static double Percent(std::int64_t numerator, std::int32_t denominator) {
    return static_cast<double>(numerator) / denominator * 100.0;
  }

  LoadHost& host_;
  double lastWhole_ = -1.0;
};

#pragma once
// Progress and yields of a reader, one report per column. The readers differ in what the value
// counts and when it is set; each way has a name here.

#include <cmath>
#include <cstdint>

#include "load_host.h"
#include "rounding.h"

enum class ProgressStep {
  // The .mls reader: once column m of M is read, m / M, then a yield (100 % after the last).
  AfterColumnCountingIt,
  // The recording reader: once column m of M is read, (m - 1) / M, then a yield (0 % after the
  // first column, one column short of 100 % after the last).
  AfterColumnNotCountingIt,
  // The text reader: m / columns as column m starts (columns is the header's value, which need
  // not be whole), and a yield once it is read.
  BeforeColumn,
};

class ColumnReporter {
 public:
  ColumnReporter(LoadHost& host, double columns, ProgressStep step)
      : host_(host), columns_(columns), step_(step) {}

  // Column m (1-based) starts / has been read.
  void StartColumn(std::int64_t m) {
    if (step_ == ProgressStep::BeforeColumn) {
      host_.SetProgress(static_cast<float>(100.0 * (static_cast<double>(m) / columns_)));
    }
  }
  void FinishColumn(std::int64_t m) {
    if (step_ != ProgressStep::BeforeColumn) host_.SetProgress(static_cast<float>(Percent(m)));
    host_.Yield();
  }

  // Columns 1..count when none holds a cell. Reading them costs nothing, so a header that
  // promises millions would spend the whole load in the event loop: they report (progress, then
  // one yield) only when the whole percentage moves, which for up to 100 columns is every one.
  void FinishEmptyColumns(std::int64_t count) {
    double lastWhole = -1.0;
    for (std::int64_t m = 1; m <= count;) {
      const double whole = std::floor(Percent(m));
      if (whole != lastWhole) {
        lastWhole = whole;
        FinishColumn(m);
      }
      m = FirstColumnAbove(whole + 1.0, m, count);
    }
  }

 private:
  double Numerator(std::int64_t m) const {
    return static_cast<double>(step_ == ProgressStep::AfterColumnNotCountingIt ? m - 1 : m);
  }
  double Percent(std::int64_t m) const { return Numerator(m) / columns_ * 100.0; }

  // The first column after m (at most count + 1) whose percentage reaches percent, without
  // visiting the columns between: a guess from the inverse, then single steps. The guess is set
  // two columns low so that the rounding of the inverse never makes it overshoot the answer.
  std::int64_t FirstColumnAbove(double percent, std::int64_t m, std::int64_t count) const {
    const std::int64_t offset = step_ == ProgressStep::AfterColumnNotCountingIt ? 1 : 0;
    std::int64_t next = RoundToInt<std::int64_t>(percent * columns_ / 100.0) + offset - 2;
    if (next <= m) next = m + 1;
    while (next <= count && Percent(next) < percent) ++next;
    return next;
  }

  LoadHost& host_;
  double columns_;
  ProgressStep step_;
};

#include "room_figures.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <stdexcept>
#include <string>

#include "point_levels.h"
#include "rounding.h"

namespace {

// The level range of a decay time's line, in dB relative to the energy at the onset.
struct DecayRange {
  double top;
  double bottom;
};
constexpr DecayRange kEdtRange{0.0, -10.0};
constexpr DecayRange kT20Range{-5.0, -25.0};
constexpr DecayRange kT30Range{-5.0, -35.0};

// The samples of one decay range: first to one past the last.
struct SampleRange {
  std::size_t first;
  std::size_t last;
};

// The Schroeder curve in dB from the onset on: L(n) = 10 log10(E(n) / E(n0)), for samples with
// E(n) > 0, which are those before end. L never rises, so its ranges are found by bisection.
class DecayCurve {
 public:
  DecayCurve(const std::vector<double>& remaining, std::size_t onset)
      : remaining_(remaining), onset_(onset), end_(onset) {
    end_ = static_cast<std::size_t>(
        std::partition_point(remaining.begin() + static_cast<std::ptrdiff_t>(onset),
                             remaining.end(), [](double e) { return e > 0.0; }) -
        remaining.begin());
  }

  double Level(std::size_t n) const {
    return 10.0 * std::log10(remaining_[n] / remaining_[onset_]);
  }

  // The samples with bottom <= L(n) <= top, when the curve falls below bottom before its end and
  // at least two samples lie in the range.
  std::optional<SampleRange> Range(DecayRange range) const {
    if (end_ == onset_ || !(Level(end_ - 1) < range.bottom)) return std::nullopt;
    const SampleRange samples{FirstBelow(range.top, false), FirstBelow(range.bottom, true)};
    if (samples.last < samples.first + 2) return std::nullopt;
    return samples;
  }

  // L(n) for the samples of span into levels (levels[0] is L(span.first)), through the
  // vectorised natural logarithm: the long ranges of slow decays hold most of the work.
  void Levels(SampleRange span, std::vector<double>& levels) const {
    const std::size_t count = span.last - span.first;
    levels.resize(count);
    const std::span<const double> energies(remaining_.data() + span.first, count);
    NaturalLogs(FastestLevelKernel(), energies, levels);
    const double logStart = std::log(remaining_[onset_]);
    const double toDecibels = 10.0 / std::log(10.0);
    for (double& level : levels) level = (level - logStart) * toDecibels;
  }

 private:
  // The first sample from the onset whose level is below limit (strictly or not); end_ if none.
  std::size_t FirstBelow(double limit, bool strictly) const {
    std::size_t low = onset_;
    std::size_t high = end_;
    while (low < high) {
      const std::size_t mid = low + (high - low) / 2;
      const double level = Level(mid);
      if (strictly ? level < limit : level <= limit) {
        high = mid;
      } else {
        low = mid + 1;
      }
    }
    return low;
  }

  const std::vector<double>& remaining_;
  std::size_t onset_;
  std::size_t end_;  // one past the last sample with E(n) > 0
};

// -60 / slope of the least-squares line through (t(n), L(n)) over range, whose levels start at
// levels[0] for sample span.first; nullopt unless the slope is negative.
std::optional<double> DecayTime(SampleRange range, SampleRange span,
                                const std::vector<double>& levels, double rate) {
  // With n counted from the range's mean, the slope per sample is sum(n L) / sum(n^2).
  const double meanN = 0.5 * static_cast<double>(range.first + range.last - 1);
  double sumNL = 0.0;
  double sumNN = 0.0;
  for (std::size_t n = range.first; n < range.last; ++n) {
    const double centred = static_cast<double>(n) - meanN;
    sumNL += centred * levels[n - span.first];
    sumNN += centred * centred;
  }
  const double slope = sumNL / sumNN * rate;  // dB per second
  if (!(slope < 0.0)) return std::nullopt;
  return -60.0 / slope;
}

// EDT, T20 and T30 from the curve; the levels of the union of their ranges are computed once.
void DecayTimes(const DecayCurve& curve, double rate, std::vector<double>& levels,
                RoomFigures& figures) {
  const std::optional<SampleRange> ranges[] = {curve.Range(kEdtRange), curve.Range(kT20Range),
                                               curve.Range(kT30Range)};
  std::optional<SampleRange> span;
  for (const auto& range : ranges) {
    if (!range) continue;
    span = span
               ? SampleRange{std::min(span->first, range->first), std::max(span->last, range->last)}
               : *range;
  }
  if (!span) return;
  curve.Levels(*span, levels);
  std::optional<double>* times[] = {&figures.edtS, &figures.t20S, &figures.t30S};
  for (std::size_t i = 0; i < 3; ++i) {
    if (ranges[i]) *times[i] = DecayTime(*ranges[i], *span, levels, rate);
  }
}

double EarlySum(const std::vector<double>& energy, std::size_t onset, std::size_t early) {
  double sum = 0.0;
  for (std::size_t n = onset; n < onset + early; ++n) sum += energy[n];
  return sum;
}

// Early-to-late energy ratio in dB at a boundary of `early` samples after the onset.
std::optional<double> Clarity(const std::vector<double>& energy,
                              const std::vector<double>& remaining, std::size_t onset,
                              std::size_t early) {
  if (onset + early >= energy.size()) return std::nullopt;
  const double earlySum = EarlySum(energy, onset, early);
  const double late = remaining[onset + early];
  if (!(late > 0.0) || !(earlySum > 0.0)) return std::nullopt;
  return 10.0 * std::log10(earlySum / late);
}

std::size_t SamplesIn(double seconds, double rate) {
  return static_cast<std::size_t>(std::max(RoundToInt32(seconds * rate), 0));
}

}  // namespace

RoomFigures ComputeRoomFigures(std::span<const double> response, double rate,
                               FiguresScratch& scratch) {
  if (!(rate > 0.0) || !std::isfinite(rate)) {
    throw std::invalid_argument("the sampling rate " + DecimalText(rate) + " is not positive");
  }
  const std::size_t count = response.size();
  std::vector<double>& energy = scratch.energy;
  std::vector<double>& remaining = scratch.remaining;
  energy.resize(count);
  remaining.resize(count);
  double loudest = 0.0;
  for (std::size_t n = 0; n < count; ++n) {
    if (!std::isfinite(response[n])) {
      throw std::invalid_argument("sample " + std::to_string(n + 1) + " is not a finite number");
    }
    energy[n] = response[n] * response[n];
    loudest = std::max(loudest, energy[n]);
  }
  RoomFigures figures;
  if (loudest == 0.0) return figures;

  // Summed from the end, so that the small late terms are not lost against the large early ones.
  double sum = 0.0;
  for (std::size_t n = count; n-- > 0;) {
    sum += energy[n];
    remaining[n] = sum;
  }
  if (!std::isfinite(sum)) {
    throw std::invalid_argument("the response's energy is beyond the double-precision range");
  }

  const double threshold = loudest / 100.0;
  const auto onset = static_cast<std::size_t>(
      std::find_if(energy.begin(), energy.end(), [threshold](double e) { return e >= threshold; }) -
      energy.begin());
  figures.onsetMs = 1000.0 * static_cast<double>(onset) / rate;

  DecayTimes(DecayCurve(remaining, onset), rate, scratch.levels, figures);

  const std::size_t early50 = SamplesIn(0.050, rate);
  figures.c50Db = Clarity(energy, remaining, onset, early50);
  figures.c80Db = Clarity(energy, remaining, onset, SamplesIn(0.080, rate));
  const double total = remaining[onset];
  if (onset + early50 < count) {
    figures.d50Percent = 100.0 * EarlySum(energy, onset, early50) / total;
  }

  double weighted = 0.0;  // sum of (n - n0) e(n); divided by the rate once
  for (std::size_t n = onset; n < count; ++n)
    weighted += static_cast<double>(n - onset) * energy[n];
  figures.tsMs = 1000.0 * weighted / rate / total;
  return figures;
}

RoomFigures ComputeRoomFigures(std::span<const double> response, double rate) {
  FiguresScratch scratch;
  return ComputeRoomFigures(response, rate, scratch);
}

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

// The energy of the samples from onset, early of them.
double EarlySum(std::span<const double> response, std::size_t onset, std::size_t early) {
  double sum = 0.0;
  for (std::size_t n = onset; n < onset + early; ++n) sum += response[n] * response[n];
  return sum;
}

// Early-to-late energy ratio in dB at a boundary of `early` samples after the onset.
std::optional<double> Clarity(std::span<const double> response,
                              const std::vector<double>& remaining, std::size_t onset,
                              std::size_t early) {
  if (onset + early >= response.size()) return std::nullopt;
  const double earlySum = EarlySum(response, onset, early);
  const double late = remaining[onset + early];
  if (!(late > 0.0) || !(earlySum > 0.0)) return std::nullopt;
  return 10.0 * std::log10(earlySum / late);
}

// The Schroeder curve E(n), the energy from each sample to the end, into remaining; returns the
// largest energy of one sample. The responses are long, so the work is arranged for memory and
// for additions that do not wait for one another: four stretches are summed side by side from
// their ends (squaring the samples on the way), then the later stretches' totals are added to
// the earlier ones. Each sum runs from the small late terms towards the large early ones; E never
// rises, and a sample followed only by exact zeros keeps an exact 0.
double SchroederCurve(std::span<const double> response, std::vector<double>& remaining) {
  constexpr std::size_t kChains = 4;
  const std::size_t count = response.size();
  remaining.resize(count);
  const std::size_t stretch = count / kChains;
  double sums[kChains] = {};
  double loudest[kChains] = {};
  for (std::size_t n = count; n-- > kChains * stretch;) {  // the few left over, at the very end
    const double e = response[n] * response[n];
    sums[kChains - 1] += e;
    remaining[n] = sums[kChains - 1];
    loudest[0] = e > loudest[0] ? e : loudest[0];
  }
  for (std::size_t i = stretch; i-- > 0;) {
    for (std::size_t c = 0; c < kChains; ++c) {
      const std::size_t n = c * stretch + i;
      const double e = response[n] * response[n];
      sums[c] += e;
      remaining[n] = sums[c];
      loudest[c] = e > loudest[c] ? e : loudest[c];
    }
  }
  double later = 0.0;
  for (std::size_t c = kChains - 1; c-- > 0;) {
    later += sums[c + 1];
    for (std::size_t n = c * stretch; n < (c + 1) * stretch; ++n) remaining[n] += later;
  }
  return std::max(std::max(loudest[0], loudest[1]), std::max(loudest[2], loudest[3]));
}

// Names the first sample that is not a finite number, or says that the energy overflows.
[[noreturn]] void ThrowNotFinite(std::span<const double> response) {
  for (std::size_t n = 0; n < response.size(); ++n) {
    if (!std::isfinite(response[n])) {
      throw std::invalid_argument("sample " + std::to_string(n + 1) + " is not a finite number");
    }
  }
  throw std::invalid_argument("the response's energy is beyond the double-precision range");
}

// The sum of (n - n0) e(n) over n >= n0, which equals the sum of E(n) over n > n0; in four
// partial sums side by side.
double DelayMoment(const std::vector<double>& remaining, std::size_t onset) {
  double sums[4] = {};
  std::size_t n = onset + 1;
  for (; n + 4 <= remaining.size(); n += 4) {
    for (std::size_t k = 0; k < 4; ++k) sums[k] += remaining[n + k];
  }
  for (; n < remaining.size(); ++n) sums[0] += remaining[n];
  return (sums[0] + sums[1]) + (sums[2] + sums[3]);
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
  std::vector<double>& remaining = scratch.remaining;
  const double loudest = SchroederCurve(response, remaining);
  if (count > 0 && !std::isfinite(remaining[0])) ThrowNotFinite(response);
  RoomFigures figures;
  if (loudest == 0.0) return figures;

  const double threshold = loudest / 100.0;
  std::size_t onset = 0;
  while (!(response[onset] * response[onset] >= threshold)) ++onset;
  figures.onsetMs = 1000.0 * static_cast<double>(onset) / rate;

  DecayTimes(DecayCurve(remaining, onset), rate, scratch.levels, figures);

  const std::size_t early50 = SamplesIn(0.050, rate);
  figures.c50Db = Clarity(response, remaining, onset, early50);
  figures.c80Db = Clarity(response, remaining, onset, SamplesIn(0.080, rate));
  const double total = remaining[onset];
  if (onset + early50 < count) {
    figures.d50Percent = 100.0 * EarlySum(response, onset, early50) / total;
  }
  figures.tsMs = 1000.0 * DelayMoment(remaining, onset) / rate / total;
  return figures;
}

RoomFigures ComputeRoomFigures(std::span<const double> response, double rate) {
  FiguresScratch scratch;
  return ComputeRoomFigures(response, rate, scratch);
}

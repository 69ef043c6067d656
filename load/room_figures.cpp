#include "room_figures.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <stdexcept>
#include <string>

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

// The Schroeder curve in dB from the onset on: L(n) = 10 log10(E(n) / E(n0)), for samples with
// E(n) > 0, which are those before end. L never rises, so its ranges are found by bisection.
class DecayCurve {
 public:
  DecayCurve(const std::vector<double>& remaining, std::size_t onset, double rate)
      : remaining_(remaining), onset_(onset), rate_(rate), end_(onset) {
    end_ = static_cast<std::size_t>(
        std::partition_point(remaining.begin() + static_cast<std::ptrdiff_t>(onset),
                             remaining.end(), [](double e) { return e > 0.0; }) -
        remaining.begin());
  }

  double Level(std::size_t n) const {
    return 10.0 * std::log10(remaining_[n] / remaining_[onset_]);
  }

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

  // -60 / slope of the least-squares line through (t(n), L(n)) over the samples with
  // bottom <= L(n) <= top; given when the curve falls below bottom before its end, at least two
  // samples lie in the range and the slope is negative.
  std::optional<double> DecayTime(DecayRange range) const {
    if (end_ == onset_ || !(Level(end_ - 1) < range.bottom)) return std::nullopt;
    const std::size_t first = FirstBelow(range.top, false);
    const std::size_t last = FirstBelow(range.bottom, true);  // one past the range
    if (last < first + 2) return std::nullopt;
    // With t measured from the range's mean time, the slope is sum(t L) / sum(t^2).
    const double meanN = 0.5 * static_cast<double>(first + last - 1);
    double sumTL = 0.0;
    double sumTT = 0.0;
    for (std::size_t n = first; n < last; ++n) {
      const double t = (static_cast<double>(n) - meanN) / rate_;
      sumTL += t * Level(n);
      sumTT += t * t;
    }
    const double slope = sumTL / sumTT;
    if (!(slope < 0.0)) return std::nullopt;
    return -60.0 / slope;
  }

 private:
  const std::vector<double>& remaining_;
  std::size_t onset_;
  double rate_;
  std::size_t end_;  // one past the last sample with E(n) > 0
};

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

  const DecayCurve curve(remaining, onset, rate);
  figures.edtS = curve.DecayTime(kEdtRange);
  figures.t20S = curve.DecayTime(kT20Range);
  figures.t30S = curve.DecayTime(kT30Range);

  const std::size_t early50 = SamplesIn(0.050, rate);
  figures.c50Db = Clarity(energy, remaining, onset, early50);
  figures.c80Db = Clarity(energy, remaining, onset, SamplesIn(0.080, rate));
  const double total = remaining[onset];
  if (onset + early50 < count) {
    figures.d50Percent = 100.0 * EarlySum(energy, onset, early50) / total;
  }

  double weighted = 0.0;
  for (std::size_t n = onset; n < count; ++n) {
    weighted += static_cast<double>(n - onset) / rate * energy[n];
  }
  figures.tsMs = 1000.0 * weighted / total;
  return figures;
}

RoomFigures ComputeRoomFigures(std::span<const double> response, double rate) {
  FiguresScratch scratch;
  return ComputeRoomFigures(response, rate, scratch);
}

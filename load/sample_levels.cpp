#include "sample_levels.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "point_levels.h"

void SliceEnergies::Add(const double* data, std::size_t count, std::size_t stride) {
  count = std::min(count, Missing());
  for (std::size_t i = 0; i < count; ++i, ++next_) {
    const double sample = data[i * stride];
    float& sum = column_[next_ / decimation_];
    sum = static_cast<float>(static_cast<double>(sum) + sample * sample);
    if (!fault_ && !std::isfinite(sum)) {
      fault_ =
          SliceFault{static_cast<std::int32_t>(next_ / decimation_ + 1), !std::isfinite(sample)};
    }
  }
}

SliceEnergies::Levels SliceEnergies::Finish() {
  Levels result;
  if (fault_) {
    result.fault = fault_;
    return result;
  }
  // The logarithms of the whole column in one batch, through the vector kernels.
  const std::size_t rows = column_.size();
  std::vector<double> energies(rows);
  std::vector<double> logs(rows);
  for (std::size_t row = 0; row < rows; ++row) {
    energies[row] = column_[row] > 0.0f ? static_cast<double>(column_[row]) : 1.0;
  }
  NaturalLogs(FastestLevelKernel(), energies, logs);
  for (std::size_t row = 0; row < rows; ++row) {
    // An energy of 1 (a silent slice, or one sample of 1) is level 0 whatever the kernel rounds.
    const float level = energies[row] == 1.0 ? 0.0f : static_cast<float>(10.0 * logs[row]);
    column_[row] = level;
    result.peak = std::max(result.peak, level);
  }
  return result;
}

SliceEnergies::Levels SliceLevels(std::span<const double> samples, std::int32_t decimation,
                                  std::span<float> levels) {
  std::fill(levels.begin(), levels.end(), 0.0f);
  SliceEnergies energies(levels, decimation);
  energies.Add(samples.data(), samples.size());
  return energies.Finish();
}

std::string SliceFaultText(const std::string& where, const SliceFault& fault) {
  if (fault.sampleNotFinite) {
    return where + " holds a sample that is not a finite number (in row " +
           std::to_string(fault.row) + ")";
  }
  return "a slice of " + where + " (row " + std::to_string(fault.row) +
         ") has an energy beyond the single-precision range";
}

#include "fuzz_host.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <iterator>
#include <stdexcept>
#include <utility>

#include "load_error.h"
#include "load_measurement.h"
#include "quiet_host.h"

std::string WriteScratchFile(const std::uint8_t* data, std::size_t size,
                             const std::string& extension) {
  const std::string path = "/tmp/vexal_fuzz_" + std::to_string(::getpid()) + extension;
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) throw std::runtime_error("cannot write " + path);
  if (size > 0) std::fwrite(data, 1, size, out);
  std::fclose(out);
  return path;
}

void FuzzLoad(const std::uint8_t* data, std::size_t size, const std::string& extension,
              const std::optional<std::string>& answer, std::int32_t maxRowCount,
              const LoadChoices& choices) {
  FuzzLoadMeasurement(data, size, extension, answer, maxRowCount, 0.0f, choices);
}

std::optional<Measurement> FuzzLoadMeasurement(const std::uint8_t* data, std::size_t size,
                                               const std::string& extension,
                                               const std::optional<std::string>& answer,
                                               std::int32_t maxRowCount, float peakLevel,
                                               const LoadChoices& choices) {
  return FuzzLoadFile(WriteScratchFile(data, size, extension), answer, maxRowCount, choices,
                      peakLevel);
}

std::optional<Measurement> FuzzLoadFile(const std::string& path,
                                        const std::optional<std::string>& answer,
                                        std::int32_t maxRowCount, const LoadChoices& choices,
                                        float peakLevel) {
  QuietHost host(answer);
  LoadResult result;
  try {
    result = LoadMeasurement(path, peakLevel, 4, host, choices);
  } catch (const LoadError&) {
    return std::nullopt;
  }
  auto* measurement = std::get_if<Measurement>(&result);
  if (measurement == nullptr) return std::nullopt;
  const LevelGrid& grid = measurement->grid;
  if (grid.RowCount() > maxRowCount || !std::isfinite(measurement->peakLevel)) __builtin_trap();
  if (measurement->peakLevel < peakLevel) __builtin_trap();
  for (std::int32_t m = 1; grid.RowCount() > 0 && m <= grid.MicCount(); ++m) {
    for (const float level : grid.DataColumn(m)) {
      if (!std::isfinite(level)) __builtin_trap();
    }
  }
  return std::move(*measurement);
}

std::string PickPeriodAnswer(const std::uint8_t* data, std::size_t size) {
  static const char* const kAnswers[] = {"4096", "10",     "19",      "23",  "0.5", "7",
                                         "3",    "0.0001", "0.00004", "1e9", "-1",  "abc"};
  return kAnswers[size == 0 ? 0 : data[size - 1] % std::size(kAnswers)];
}

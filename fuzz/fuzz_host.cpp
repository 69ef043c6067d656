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

namespace {

// Grids past this many cells are refused, as the window refuses maps it cannot show: a few bytes
// of a compressed audio format can promise hours of silence, whose grid would measure the
// machine's memory rather than the reader.
constexpr std::int64_t kMaxFuzzCells = std::int64_t{1} << 24;

class FuzzHost : public QuietHost {
 public:
  using QuietHost::QuietHost;
  std::optional<std::string> RefuseGridSize(std::int32_t micCount, std::int32_t rowCount) override {
    if (std::int64_t{micCount} * rowCount <= kMaxFuzzCells) return std::nullopt;
    return "a grid of " + std::to_string(micCount) + " x " + std::to_string(rowCount) +
           " cells is larger than the fuzz target takes";
  }
};

}  // namespace

std::optional<Measurement> FuzzLoadFile(const std::string& path,
                                        const std::optional<std::string>& answer,
                                        std::int32_t maxRowCount, const LoadChoices& choices,
                                        float peakLevel) {
  FuzzHost host(answer);
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

// Fuzzes the text level-map reader's second core against one core. With the size limit lowered
// to nothing, any export of three or more blocks starts the second core; the same file read on one
// core must end the same way: the same grid to the bit, peak and rate, or the same message.

#include <cstring>
#include <limits>
#include <string>
#include <variant>

#include "fuzz_host.h"
#include "load_error.h"
#include "load_measurement.h"
#include "quiet_host.h"
#include "text_second_half.h"

namespace {

struct Outcome {
  std::string failure;  // empty when the file loaded
  Measurement measurement;
};

Outcome Load(const std::string& path, std::uint64_t secondHalfMinBytes) {
  SetTextSecondHalfMinBytes(secondHalfMinBytes);
  QuietHost host;
  Outcome outcome;
  try {
    outcome.measurement = std::get<Measurement>(LoadMeasurement(path, 0.0f, 4, host));
  } catch (const LoadError& e) {
    outcome.failure = std::string("failed: ") + e.what();
  }
  return outcome;
}

bool SameBits(float a, float b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

bool SameMeasurement(const Measurement& a, const Measurement& b) {
  const LevelGrid& x = a.grid;
  const LevelGrid& y = b.grid;
  if (x.RowCount() != y.RowCount() || x.MicCount() != y.MicCount()) return false;
  if (!SameBits(a.peakLevel, b.peakLevel) || a.sampleRate != b.sampleRate) return false;
  for (std::int32_t m = 1; x.RowCount() > 0 && m <= x.MicCount(); ++m) {
    const auto one = x.DataColumn(m);
    const auto other = y.DataColumn(m);
    if (std::memcmp(one.data(), other.data(), one.size_bytes()) != 0) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = WriteScratchFile(data, size, ".__txt");
  const Outcome twoCores = Load(path, 0);
  const Outcome oneCore = Load(path, std::numeric_limits<std::uint64_t>::max());
  if (twoCores.failure != oneCore.failure) __builtin_trap();
  if (oneCore.failure.empty() && !SameMeasurement(twoCores.measurement, oneCore.measurement)) {
    __builtin_trap();
  }
  return 0;
}

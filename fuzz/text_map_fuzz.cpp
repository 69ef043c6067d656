// Fuzzes the text level-map reader through the whole load: any input either loads or fails with
// a LoadError; nothing crashes, hangs or allocates beyond what the file size justifies.

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "fuzz_host.h"
#include "load_error.h"
#include "load_measurement.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = WriteScratchFile(data, size, ".__txt");
  ViewState state;
  state.Decimation = 4;
  FuzzHost host;
  try {
    LoadMeasurement(state, path, host);
    if (state.LevelGrid.MicCount() != state.MicCount ||
        state.LevelGrid.RowCount() != state.RowCount) {
      __builtin_trap();
    }
    for (std::int32_t m = 1; m <= state.MicCount; ++m) {
      for (const float level : state.LevelGrid.DataColumn(m)) {
        if (!std::isfinite(level)) __builtin_trap();
      }
    }
  } catch (const LoadError&) {
  }
  return 0;
}

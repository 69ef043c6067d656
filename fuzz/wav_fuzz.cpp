// Fuzzes the WAV header walk and the 16-bit recording reader through the whole load: any input
// either loads or fails with a LoadError; nothing crashes, hangs or allocates beyond what the file
// size justifies. The last byte of the input also picks the period answer.

#include <cstddef>
#include <cstdint>
#include <iterator>

#include "fuzz_host.h"
#include "load_error.h"
#include "load_measurement.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const char* const kAnswers[] = {"4096", "10",     "19",      "23",  "0.5", "7",
                                         "3",    "0.0001", "0.00004", "1e9", "-1",  "abc"};
  const char* answer = kAnswers[size == 0 ? 0 : data[size - 1] % std::size(kAnswers)];
  const std::string path = WriteScratchFile(data, size, ".wav");
  ViewState state;
  state.Decimation = 4;
  FuzzHost host(answer);
  try {
    LoadMeasurement(state, path, host);
    if (state.LevelGrid.MicCount() != state.MicCount ||
        state.LevelGrid.RowCount() != state.RowCount || state.RowCount > 400) {
      __builtin_trap();
    }
  } catch (const LoadError&) {
  }
  return 0;
}

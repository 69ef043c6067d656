// Fuzzes the raw float recording reader through the whole load: any input either loads or fails
// with a LoadError; nothing crashes, hangs or allocates beyond what the file size justifies. The
// last byte of the input also picks the period answer.

#include "fuzz_host.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzLoad(data, size, ".pcm", PickPeriodAnswer(data, size), 400);
  return 0;
}

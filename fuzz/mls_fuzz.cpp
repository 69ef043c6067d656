// Fuzzes the complex-spectrum reader through the whole load: any input either loads or fails
// with a LoadError; nothing crashes, hangs or allocates beyond what the file size justifies.

#include "fuzz_host.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzLoad(data, size, ".mls");
  return 0;
}

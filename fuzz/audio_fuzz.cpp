// Fuzzes the audio reader through the whole load: whatever libsndfile makes of the input (it
// finds the format from the bytes), the load either succeeds with finite levels and at most 400
// rows or fails with a LoadError. The last byte picks the period answer and whether the channels
// are the columns.

#include "fuzz_host.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  LoadChoices choices;
  choices.channelsAsPositions = size > 0 && (data[size - 1] & 0x80) != 0;
  FuzzLoad(data, size, ".caf", PickPeriodAnswer(data, size), 400, choices);
  return 0;
}

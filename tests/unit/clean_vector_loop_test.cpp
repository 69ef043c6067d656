// The recording reader's column loop starts with the upper halves of the vector registers clear,
// whatever ran before it: here the host's prompt and every yield leave them in use, as the C
// library's AVX-512 string functions or another library's 256-bit code may. In use, they make the
// loop's SSE code pay a transition penalty on many Intel processors. Every x86-64 processor that
// reports which register state is in use (XGETBV with ECX = 1, AMD's included) runs this test.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "point_levels.h"
#include "recording_host.h"
#include "wav_test_files.h"

#if defined(__x86_64__)
#include <cpuid.h>

// Sets every bit of ymm0 with a 256-bit instruction and returns without a vzeroupper, so that the
// upper halves stay in use. In assembly, since a compiler would add the vzeroupper.
extern "C" void VexalTestDirtyUpperHalves();
asm(R"(
  .text
  .p2align 4
  .globl VexalTestDirtyUpperHalves
  .type VexalTestDirtyUpperHalves, @function
VexalTestDirtyUpperHalves:
  vpcmpeqd %ymm0, %ymm0, %ymm0
  ret
  .size VexalTestDirtyUpperHalves, .-VexalTestDirtyUpperHalves
)");
#endif

namespace {

#if defined(__x86_64__)

// Upper halves of ymm0-15 (bit 2) and of zmm0-15 (bit 6): what vzeroupper clears. Bits 5 and 7
// (mask registers, zmm16-31) stay in use on AVX-512 machines from the start of the process; SSE
// code cannot name those registers.
constexpr std::uint64_t kUpperHalves = (1u << 2) | (1u << 6);

bool ReportsStateInUse() {
  unsigned a = 0, b = 0, c = 0, d = 0;
  if (__get_cpuid(1, &a, &b, &c, &d) == 0 || (c & bit_OSXSAVE) == 0) return false;
  if (__get_cpuid_count(0xD, 1, &a, &b, &c, &d) == 0) return false;
  __builtin_cpu_init();
  return (a & (1u << 2)) != 0 && __builtin_cpu_supports("avx");
}

std::uint64_t StateInUse() {
  std::uint32_t low = 0, high = 0;
  asm volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(1));
  return std::uint64_t{high} << 32 | low;
}

std::vector<std::uint64_t> statesSeen;  // reserved before a load: the probe does not allocate

void RecordState() {
  statesSeen.push_back(StateInUse());
}

class DirtyingHost : public RecordingHost {
 public:
  std::optional<std::string> AskPeriod(const std::string& initialText,
                                       const RecordingFacts& recording) override {
    auto answer = RecordingHost::AskPeriod(initialText, recording);
    VexalTestDirtyUpperHalves();
    return answer;
  }
};

TEST(CleanVectorLoop, EveryRecordingColumnStartsWithTheUpperHalvesClear) {
  if (!ReportsStateInUse()) GTEST_SKIP() << "the processor does not report the state in use";
  VexalTestDirtyUpperHalves();
  ASSERT_NE(StateInUse() & kUpperHalves, 0u) << "the test cannot make the state dirty";

  TempFolder folder;
  // 12 periods of 1603 samples, each starting with 1600 used ones: the reader takes many
  // columns from one read, so nothing but its own code runs between a yield and the next column.
  std::vector<std::int16_t> samples(12 * 1603);
  for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<std::int16_t>(i % 97);
  std::vector<std::uint8_t> floats;
  for (const std::int16_t s : samples) AppendFloat32(floats, static_cast<float>(s) / 100.0f);
  for (const std::string& path :
       {folder.Write("scan.wav", MonoWav16(48000, samples)), folder.Write("scan.pcm", floats)}) {
    DirtyingHost host;
    host.answers = {"1603"};
    host.onYield = [](int) { VexalTestDirtyUpperHalves(); };
    statesSeen.clear();
    statesSeen.reserve(64);
    SetCleanVectorLoopProbe(&RecordState);
    const Measurement s = LoadedMeasurement(path, host);
    SetCleanVectorLoopProbe(nullptr);
    ASSERT_EQ(s.grid.MicCount(), 12) << path;
    ASSERT_EQ(statesSeen.size(), 12u) << path << ": the probe did not see every column start";
    for (std::size_t m = 0; m < statesSeen.size(); ++m) {
      EXPECT_EQ(statesSeen[m] & kUpperHalves, 0u)
          << path << ", column " << m + 1 << ": state in use " << std::hex << statesSeen[m];
    }
  }
}

#endif  // __x86_64__

}  // namespace

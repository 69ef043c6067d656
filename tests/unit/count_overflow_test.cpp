// A count that a file's fields make too large for 32 bits: the message names the field it came
// from and the value, not just a bare number.

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "recording_host.h"
#include "recording_reader.h"
#include "rounding.h"
#include "test_files.h"
#include "wav_test_files.h"

namespace {

struct CountOverflow : ::testing::Test {
  std::string TextFailure(const std::string& microphones, const std::string& time,
                          const std::string& precision) {
    const std::string text = "Level map export\nMicrophones = " + microphones +
                             "\nTime           = " + time + "\nPrecision      = " + precision +
                             "\n[Microphones]\n";
    return Failure(folder.Write("export.__lev", text), std::nullopt);
  }
  std::string Failure(const std::string& path, std::optional<std::string> answer) {
    host.answers = {std::move(answer)};
    return LoadFailureMessage(path, host);
  }
  // The period prompt accepts any number, so the block shape is reached with any count of
  // samples; a recording long enough for 2^31 blocks is tried on the shape alone.
  static std::string ShapeFailure(double period, const std::string& answer, double samples) {
    try {
      ShapeBlocks(period, answer, 48000, 4, samples);
    } catch (const RoundingOverflow& e) {
      return e.what();
    }
    return "(no error)";
  }

  TempFolder folder;
  RecordingHost host;
};

TEST_F(CountOverflow, MessageNamesTheFieldTheCountCameFrom) {
  struct Case {
    const char* field;
    std::function<std::string(CountOverflow&)> failure;
    std::string count;  // the message without its common ending
  };
  const Case cases[] = {
      {"text export microphones", [](CountOverflow& t) { return t.TextFailure("1e300", "0", "1"); },
       "its header gives 1e+300 microphones"},
      {"text export negative microphones",
       [](CountOverflow& t) { return t.TextFailure("-3e9", "0", "1"); },
       "its header gives -3000000000 microphones"},
      {"text export rows", [](CountOverflow& t) { return t.TextFailure("1", "1", "1e-300"); },
       "its header gives 1e+300 rows (time 1 over time step 1e-300)"},
      {"text export rows just past the range",
       [](CountOverflow& t) { return t.TextFailure("1", "2147483647.5", "1"); },
       "its header gives 2147483647.5 rows (time 2147483647.5 over time step 1)"},
      {"text export sample rate", [](CountOverflow& t) { return t.TextFailure("1", "0", "1e-9"); },
       "its header gives a sample rate of 4000000000 (4 samples per time step of 1e-09 seconds)"},
      {"recording block length in samples",
       [](CountOverflow& t) { return t.Failure(t.folder.Write("long.pcm", ""), "1e12"); },
       "the repetition period \"1e12\" gives blocks of 1000000000000 samples"},
      {"recording block length in seconds",
       [](CountOverflow& t) {
         const auto wav = MonoWav16(1000000000, std::vector<std::int16_t>(8, 1));
         return t.Failure(t.folder.Write("fast.wav", wav), "3");
       },
       "the repetition period \"3\" gives blocks of 3000000000 samples at 1000000000 samples per "
       "second"},
      {"recording microphone positions",
       [](CountOverflow&) { return ShapeFailure(10, "10", 9e10); },
       "the repetition period \"10\" gives 10000000000 microphone positions"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.field);
    EXPECT_EQ(c.failure(*this), c.count + ", beyond the range of a 32-bit count");
  }
}

}  // namespace

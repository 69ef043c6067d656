// The renderer's options for SOFA sets, audio files and the slice length, and what --json says
// of them.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "renderer_run.h"
#include "sample_files.h"

using ::testing::HasSubstr;

namespace {

constexpr const char* kKemar = "/usr/share/libmysofa/MIT_KEMAR_normal_pinna.sofa";

struct RenderSamples : RendererRun {
  std::string Sofa(const std::string& name, const SofaSpec& shape) {
    const std::string path = folder.Write(name, std::string_view{});
    WriteSofa(path, shape);
    return path;
  }
};

TEST_F(RenderSamples, KemarHorizontalPlane) {
  if (!std::filesystem::exists(kKemar)) GTEST_SKIP() << kKemar << " is not installed";
  ASSERT_EQ(Run({"--select", "horizontal", "--receiver", "2", "--json", kKemar}), 0) << err.str();
  EXPECT_EQ(out.str(),
            "{\"kind\": \"SOFA\", \"mic_count\": 72, \"row_count\": 128, \"sample_rate\": 44100, "
            "\"peak_level\": 203.72102, \"range_db\": 100}\n");
}

TEST_F(RenderSamples, SliceLengthChannelsAndTheDelayNote) {
  SofaSpec shape;
  shape.n = 2000;
  shape.delays = {12.0};
  const std::string sofa = Sofa("long.sofa", shape);
  ASSERT_EQ(Run({"--slice", "8", "--json", sofa}), 0) << err.str();
  EXPECT_THAT(out.str(), HasSubstr("\"mic_count\": 3, \"row_count\": 250"));
  EXPECT_THAT(out.str(), HasSubstr("\"notes\": [\"Data.Delay is not applied"));

  const auto [wav, pcm] = TwoPeriodRecordings();  // 32 samples of a mono 16-bit WAV
  ASSERT_EQ(Run({"--channels", "--slice", "2", "--json", wav}), 0) << err.str();
  EXPECT_THAT(out.str(), HasSubstr("\"mic_count\": 1, \"row_count\": 16"));
  ASSERT_EQ(Run({"--slice", "2", "--period", "16", "--json", pcm}), 0) << err.str();
  EXPECT_THAT(out.str(), HasSubstr("\"mic_count\": 2, \"row_count\": 6"));  // rnd(6.5), to even
}

TEST_F(RenderSamples, OptionsForOtherKindsAreWrongArguments) {
  const std::pair<std::vector<std::string>, const char*> cases[] = {
      {{"--receiver", "2", "f.mls"}, "--receiver applies to SOFA sets, not to f.mls"},
      {{"--select", "median", "f.wav"}, "--select applies to SOFA sets, not to f.wav"},
      {{"--emitter", "1", "a.sofa", "f.__lev"}, "--emitter applies to SOFA sets, not to f.__lev"},
      {{"--select", "front", "a.sofa"}, "--select is all, horizontal or median, not \"front\""},
      {{"--receiver", "0", "a.sofa"}, "--receiver needs a whole number of 1 or more"},
      {{"--channels", "a.sofa"}, "--channels applies to audio files, not to a.sofa"},
      {{"--channels", "f.pcm"}, "--channels applies to audio files, not to f.pcm"},
      {{"--slice", "4", "f.mls"}, "--slice applies to recordings, audio files and SOFA sets"},
      {{"--slice", "4", "--reference", "r.__lev", "a.flac"}, "not to r.__lev"},
      {{"--slice", "65537", "a.flac"}, "--slice is at most 65536, not 65537"},
      {{"--slice", "0", "a.flac"}, "--slice needs a whole number of 1 or more, not \"0\""},
  };
  for (const auto& [arguments, message] : cases) {
    EXPECT_EQ(Run(arguments), 2) << message;
    EXPECT_THAT(err.str(), HasSubstr(message));
  }
  EXPECT_EQ(Run({"--slice", "65536", "--select", "all", "--json", In("missing.sofa")}), 1);
  EXPECT_THAT(err.str(), HasSubstr("does not exist"));
}

}  // namespace

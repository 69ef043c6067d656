// The renderer's batch run: --output-dir renders each file on its own, writes nothing for a file
// that fails, and still writes the others.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "mls_file.h"
#include "render_run.h"
#include "renderer_run.h"

using ::testing::HasSubstr;
using ::testing::StartsWith;
namespace fs = std::filesystem;

namespace {

struct RenderBatchTest : RendererRun {
  RenderBatchTest() {
    loud = folder.Write("loud.mls", MlsBytes({{{30, 40}, {1, 0}}}));
    quiet = folder.Write("quiet.MLS", MlsBytes({{{1, 0}, {0.5f, 0}}, {{1, 1}, {1, 0}}}));
    bad = folder.Write("bad.mls", MlsBytes(8, 3, {}));
  }
  std::string Dir(const std::string& name = "") const { return In("maps.out/" + name); }
  std::set<std::string> Names(const std::string& dir) const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
      names.insert(entry.path().filename().string());
    return names;
  }
  std::vector<std::string> OutLines() const {
    std::vector<std::string> lines;
    std::istringstream text(out.str());
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    return lines;
  }

  std::string loud, quiet, bad;
};

TEST_F(RenderBatchTest, AFailingFileWritesNothingAndTheOthersAreWrittenWithAFreshPeak) {
  ASSERT_EQ(Run({"--png", In("alone.png"), quiet}), 0) << err.str();
  ASSERT_EQ(Run({"--png", In("after_loud.png"), loud, quiet}), 0) << err.str();

  EXPECT_EQ(Run({"--output-dir", Dir(), "--grid-format", "npy", "--json", loud, bad, quiet}), 1);
  const std::string badCause = "cannot load " + bad +
                               ": it is shorter than its header says (3 "
                               "microphones of 4 points need 104 bytes; the file has 8)";
  EXPECT_EQ(err.str(), "mlsvexal-render: " + badCause + "\n");
  EXPECT_EQ(Names(Dir()), (std::set<std::string>{"loud.mls.png", "loud.mls.npy", "quiet.MLS.png",
                                                 "quiet.MLS.npy"}));
  // Each file's map is the one a freshly started viewer shows, not one under the loud peak.
  EXPECT_EQ(ReadAll(Dir("quiet.MLS.png")), ReadAll(In("alone.png")));
  EXPECT_NE(ReadAll(Dir("quiet.MLS.png")), ReadAll(In("after_loud.png")));
  EXPECT_EQ(QImage(QString::fromStdString(Dir("loud.mls.png"))).size(), QSize(1, 2));

  const auto lines = OutLines();
  ASSERT_EQ(lines.size(), 3u) << out.str();
  EXPECT_EQ(lines[0], "{\"file\": \"" + loud +
                          "\", \"kind\": \"MLS\", \"mic_count\": 1, \"row_count\": 2, "
                          "\"sample_rate\": 0, \"peak_level\": 156.48093, \"range_db\": 100, "
                          "\"outputs\": [\"" +
                          Dir("loud.mls.png") + "\", \"" + Dir("loud.mls.npy") + "\"]}");
  EXPECT_EQ(lines[1], "{\"file\": \"" + bad + "\", \"error\": \"" + badCause + "\"}");
  EXPECT_THAT(lines[2], StartsWith("{\"file\": \"" + quiet + "\", \"kind\": \"MLS\""));
  EXPECT_THAT(lines[2], HasSubstr("\"peak_level\": 13.862944,"));  // its own peak: 20 ln 2
}

TEST_F(RenderBatchTest, StatusIsOneWhenAnyFailedElseThreeWhenAMapIsEmpty) {
  const std::string empty = folder.Write("hollow.mls", MlsBytes(0, 5, {}));
  EXPECT_EQ(Run({"--output-dir", Dir(), loud, quiet}), 0) << err.str();
  EXPECT_EQ(err.str(), "");
  EXPECT_EQ(out.str(), "");

  EXPECT_EQ(Run({"--output-dir", Dir(), "--json", empty, loud}), 3);
  EXPECT_EQ(err.str(), "mlsvexal-render: " + empty + " holds no data to paint: 0 time rows\n");
  EXPECT_THAT(OutLines().at(0), HasSubstr("\"row_count\": 0, \"sample_rate\": 0"));
  EXPECT_THAT(OutLines().at(0), HasSubstr("\"error\": \"" + empty + " holds no data"));
  EXPECT_FALSE(fs::exists(Dir("hollow.mls.png")));

  EXPECT_EQ(Run({"--output-dir", Dir(), empty, bad}), 1);
}

TEST_F(RenderBatchTest, PeriodAppliesToEveryRecording) {
  const auto [wav, pcm] = TwoPeriodRecordings();
  EXPECT_EQ(Run({"--output-dir", Dir(), "--period", "16", "--grid-format", "csv", wav, pcm}), 0)
      << err.str();
  EXPECT_EQ(Names(Dir()), (std::set<std::string>{"take.wav.png", "take.wav.csv", "take.pcm.png",
                                                 "take.pcm.csv"}));
  EXPECT_EQ(Run({"--output-dir", In("none"), wav, loud}), 1);
  EXPECT_THAT(err.str(), HasSubstr("give its repetition period with --period"));
  EXPECT_EQ(Names(In("none")), (std::set<std::string>{"loud.mls.png"}));
}

TEST_F(RenderBatchTest, OutputsThatWouldDestroyAnInputOrEachOtherAreRefusedPerFile) {
  // The folder of the inputs as the output folder, with loud's picture name a link to quiet.
  const std::string quietBefore = ReadAll(quiet);
  fs::create_hard_link(quiet, In("loud.mls.png"));
  fs::create_directory(In("other"));
  const std::string twin = (folder.Path() / "other" / "quiet.MLS").string();
  fs::copy_file(quiet, twin);
  EXPECT_EQ(Run({"--output-dir", folder.Path().string(), "--json", loud, quiet, twin}), 1);
  EXPECT_THAT(err.str(),
              HasSubstr("cannot write " + In("loud.mls.png") + ": it is the input file " + quiet));
  EXPECT_THAT(err.str(),
              HasSubstr("skipped " + twin + ": its outputs would replace those of " + quiet));
  EXPECT_EQ(ReadAll(quiet), quietBefore);
  EXPECT_EQ(QImage(QString::fromStdString(In("quiet.MLS.png"))).size(), QSize(2, 2));
  EXPECT_EQ(OutLines().size(), 3u);

  // A missing output folder is made; one that is a file is refused before any load.
  EXPECT_EQ(Run({"--output-dir", In("new/deeper"), loud}), 0) << err.str();
  EXPECT_TRUE(fs::exists(In("new/deeper/loud.mls.png")));
  EXPECT_EQ(Run({"--output-dir", loud, quiet}), 1);
  EXPECT_THAT(err.str(), HasSubstr("cannot write to the folder " + loud));
}

TEST_F(RenderBatchTest, OutputDirNamesTheOutputsItself) {
  EXPECT_EQ(Run({"--output-dir", Dir(), "--png", In("x.png"), loud}), 2);
  EXPECT_THAT(err.str(), HasSubstr("use --grid-format, not --png or --grid"));
  EXPECT_EQ(Run({"--grid-format", "npy", loud}), 2);
  EXPECT_THAT(err.str(), HasSubstr("--grid-format goes with --output-dir"));
  EXPECT_EQ(Run({"--output-dir", Dir(), "--grid-format", "txt", loud}), 2);
  EXPECT_THAT(err.str(), HasSubstr("--grid-format is npy or csv, not \"txt\""));
  EXPECT_FALSE(fs::exists(Dir()));
}

}  // namespace

// The renderer on maps it cannot or need not paint: empty maps, maps too large for a picture,
// and file names that hold control characters.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "mls_file.h"
#include "render_run.h"
#include "renderer_run.h"

using ::testing::HasSubstr;
namespace fs = std::filesystem;

namespace {

struct RenderLimitsTest : RendererRun {};

TEST_F(RenderLimitsTest, AMapWithoutCellsExitsThreeAndWritesNothing) {
  const std::string empty = folder.Write("empty.pcm", std::string());
  EXPECT_EQ(Run({"--period", "4096", "--png", In("e.png"), "--grid", In("e.npy"), empty}), 3);
  EXPECT_EQ(err.str(), "mlsvexal-render: " + empty +
                           " holds no data to paint at this period: 0 microphone positions\n");
  const std::string hollow = folder.Write("hollow.mls", MlsBytes(0, 5, {}));
  EXPECT_EQ(Run({"--json", "--grid", In("h.csv"), hollow}), 3);
  EXPECT_THAT(err.str(), HasSubstr(hollow + " holds no data to paint: 0 time rows"));
  EXPECT_THAT(out.str(), HasSubstr("\"mic_count\": 5, \"row_count\": 0"));
  EXPECT_FALSE(fs::exists(In("e.png")));
  EXPECT_FALSE(fs::exists(In("e.npy")));
  EXPECT_FALSE(fs::exists(In("h.csv")));
}

TEST_F(RenderLimitsTest, APictureTooLargeIsRefusedBeforeTheGridIsRead) {
  // 1000001 microphones of one point: loadable, but wider than a PNG may be.
  const std::string wide = folder.Write(
      "wide.mls", MlsBytes(2, 1000001, std::vector<ComplexPoint>(1000001, {1.0f, 0.0f})));
  EXPECT_EQ(Run({"--png", In("w.png"), wide}), 1);
  EXPECT_THAT(err.str(), HasSubstr("cells is too large for a PNG (at most 1000000 pixels a side)"));
  EXPECT_FALSE(fs::exists(In("w.png")));
  EXPECT_EQ(Run({"--json", wide}), 0) << err.str();  // no picture asked for: loads as usual

  // A sparse recording of 64 GiB at a period of 10 samples: 1.9 billion positions would take
  // gigabytes before any paint; it is refused at once.
  const std::string huge = In("huge.pcm");
  { std::ofstream(huge).put('\0'); }
  fs::resize_file(huge, std::uintmax_t{64} << 30);
  EXPECT_EQ(Run({"--period", "10", "--png", In("h.png"), huge}), 1);
  EXPECT_THAT(err.str(), HasSubstr("the map is too large to show (a width of"));
}

TEST_F(RenderLimitsTest, ControlCharactersInFileNamesAreQuoted) {
  const std::string name = In("two\nlines\x1b[2J.mls");
  EXPECT_EQ(Run({"--json", name}), 1);
  const std::string shown = err.str();
  EXPECT_EQ(shown.find('\x1b'), std::string::npos);
  EXPECT_EQ(shown.find('\n'), shown.size() - 1);  // only the message's own end of line
  EXPECT_THAT(shown, HasSubstr("two\\nlines\\x1b[2J.mls\""));
}

}  // namespace

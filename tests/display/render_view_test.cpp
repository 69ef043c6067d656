// The renderer's view options: --zoom, --palette and --legend.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "mls_file.h"
#include "palette.h"
#include "render_run.h"
#include "renderer_run.h"

using ::testing::HasSubstr;
namespace fs = std::filesystem;

namespace {

struct RenderViewTest : RendererRun {
  // Three microphones of two points: the first cell is the peak.
  RenderViewTest() {
    measurement =
        folder.Write("m.mls", MlsBytes({{{3, 4}, {1, 0}}, {{0.5f, 0}, {2, 0}}, {{1, 1}, {0, 1}}}));
  }
  std::string Out(const std::string& name) const { return (folder.Path() / name).string(); }
  // Bit depth and colour type from a PNG's header.
  std::pair<int, int> PngDepthAndColourType(const std::string& path) const {
    std::ifstream in(path, std::ios::binary);
    std::string head(26, '\0');
    in.read(head.data(), 26);
    return {static_cast<unsigned char>(head[24]), static_cast<unsigned char>(head[25])};
  }

  std::string measurement;
};

TEST_F(RenderViewTest, ZoomAndPaletteMakeEachCellABlockOfItsColour) {
  ASSERT_EQ(Run({"--png", Out("g.png"), measurement}), 0) << err.str();
  const QImage grey(QString::fromStdString(Out("g.png")));
  for (const Palette palette : kAllPalettes) {
    const std::string key = PaletteKey(palette).toStdString();
    SCOPED_TRACE(key);
    const std::string path = Out(key + ".png");
    ASSERT_EQ(Run({"--palette", key, "--zoom", "3", "--png", path, measurement}), 0) << err.str();
    // Colour type 0 is greyscale, 2 RGB without alpha.
    EXPECT_EQ(PngDepthAndColourType(path), std::make_pair(8, palette == Palette::Grey ? 0 : 2));
    const QImage image(QString::fromStdString(path));
    ASSERT_EQ(image.size(), QSize(9, 6));
    for (int y = 0; y < 6; ++y) {
      for (int x = 0; x < 9; ++x) {
        const auto designed = static_cast<std::uint8_t>(qGray(grey.pixel(x / 3, y / 3)));
        ASSERT_EQ(image.pixel(x, y), PaletteColour(palette, designed)) << x << "," << y;
      }
    }
  }
  // Names in any letter case, like the display names.
  EXPECT_EQ(Run({"--palette", "Inferno", "--png", Out("i.png"), measurement}), 0) << err.str();
}

TEST_F(RenderViewTest, TheLegendFramesTheCellsInAnRgbPicture) {
  ASSERT_EQ(
      Run({"--legend", "--zoom", "4", "--palette", "cividis", "--png", Out("l.png"), measurement}),
      0)
      << err.str();
  EXPECT_EQ(PngDepthAndColourType(Out("l.png")), std::make_pair(8, 2));
  const QImage legend(QString::fromStdString(Out("l.png")));
  EXPECT_GT(legend.width(), 12 + 100);
  EXPECT_GT(legend.height(), 8 + 100);  // the colour bar's six labelled levels
  // The same picture again: nothing in it depends on the run.
  ASSERT_EQ(
      Run({"--legend", "--zoom", "4", "--palette", "cividis", "--png", Out("m.png"), measurement}),
      0);
  EXPECT_EQ(QImage(QString::fromStdString(Out("m.png"))), legend);
  // Without --png the view options change nothing.
  EXPECT_EQ(Run({"--legend", "--zoom", "5", "--json", measurement}), 0) << err.str();
}

TEST_F(RenderViewTest, WrongZoomsAndPalettesAreRefusedWithStatusTwo) {
  for (const std::string zoom : {"0", "-1", "1.5", "x", "", "+2", "3000000000", "99999999999"}) {
    EXPECT_EQ(Run({"--zoom", zoom, "--png", Out("z.png"), measurement}), 2) << zoom;
    EXPECT_THAT(err.str(), HasSubstr("--zoom needs a whole number of 1 or more, not \"" + zoom));
  }
  EXPECT_EQ(Run({"--palette", "jet", "--png", Out("p.png"), measurement}), 2);
  EXPECT_THAT(err.str(),
              HasSubstr("unknown palette \"jet\": use grey, viridis, magma, inferno or cividis"));
  EXPECT_EQ(Run({"--png", Out("p.png"), measurement, "--zoom"}), 2);
  EXPECT_FALSE(fs::exists(Out("z.png")));
  EXPECT_FALSE(fs::exists(Out("p.png")));
}

TEST_F(RenderViewTest, TheSizeCheckBeforeTheLoadCountsTheZoomAndTheLegend) {
  // 334 microphones of one point: 1002000 pixels wide at zoom 3000.
  const std::string wide =
      folder.Write("wide.mls", MlsBytes(2, 334, std::vector<ComplexPoint>(334, {1.0f, 0.0f})));
  EXPECT_EQ(Run({"--zoom", "3000", "--png", Out("w.png"), wide}), 1);
  EXPECT_THAT(err.str(), HasSubstr("its map of 334 x 1 cells at zoom 3000 is too large for a PNG"));
  // One cell at 999000: the picture alone would pass, not with the legend beside it.
  const std::string one = folder.Write("one.mls", MlsBytes({{{1, 0}}}));
  EXPECT_EQ(Run({"--zoom", "999000", "--legend", "--png", Out("o.png"), one}), 1);
  EXPECT_THAT(err.str(), HasSubstr("at zoom 999000 with its legend is too large for a PNG"));
  EXPECT_FALSE(fs::exists(Out("w.png")));
  EXPECT_FALSE(fs::exists(Out("o.png")));
}

}  // namespace

// The renderer's --reference (the difference of two measurements) and its profiles.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QImage>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "compare.h"
#include "draw_map.h"
#include "image_surface.h"
#include "mls_file.h"
#include "render_run.h"
#include "renderer_run.h"
#include "view_image.h"
#include "wav_test_files.h"

using ::testing::HasSubstr;
namespace fs = std::filesystem;

namespace {

struct RenderCompareTest : RendererRun {
  // The measurement: 3 microphones of 3 rows. The reference: a recording of 2 periods of 24
  // samples, at --period 24 and decimation 4 two microphones of 5 rows, on another level scale.
  RenderCompareTest() {
    measurement = folder.Write("m.mls", MlsBytes({{{3, 4}, {1, 0}, {0.5f, 0}},
                                                  {{2, 0}, {1, 1}, {0, 1}},
                                                  {{1, 2}, {3, 3}, {2, 2}}}));
    std::vector<std::int16_t> samples;
    for (int i = 0; i < 48; ++i) samples.push_back(static_cast<std::int16_t>(300 * i - 4000));
    reference = folder.Write("r.wav", MonoWav16(48000, samples));
  }
  // A grid written by --grid as .npy, read back.
  static LevelGrid ReadNpy(const std::string& path) {
    const std::string npy = ReadAll(path);
    EXPECT_GE(npy.size(), 10u);
    const std::size_t length =
        static_cast<unsigned char>(npy[8]) + 256u * static_cast<unsigned char>(npy[9]);
    const std::string header = npy.substr(10, length);
    const auto shape = header.find("'shape': (") + 10;
    char* end = nullptr;
    const long rows = std::strtol(header.c_str() + shape, &end, 10);
    const long mics = std::strtol(end + 1, nullptr, 10);
    LevelGrid grid(static_cast<std::int32_t>(rows), static_cast<std::int32_t>(mics));
    const char* cells = npy.data() + 10 + length;
    EXPECT_EQ(npy.size(), 10 + length + sizeof(float) * rows * mics);
    for (std::int32_t r = 1; r <= grid.RowCount(); ++r) {
      for (std::int32_t c = 1; c <= grid.MicCount(); ++c) {
        std::memcpy(&grid.DataColumn(c)[r - 1], cells, sizeof(float));
        cells += sizeof(float);
      }
    }
    return grid;
  }
  // The grids of the measurement and the reference, each loaded on its own.
  void LoadAlone() {
    ASSERT_EQ(Run({"--grid", In("m.npy"), measurement}), 0) << err.str();
    ASSERT_EQ(Run({"--period", "24", "--grid", In("r.npy"), reference}), 0) << err.str();
    mine = ReadNpy(In("m.npy"));
    theirs = ReadNpy(In("r.npy"));
    ASSERT_EQ(mine.MicCount(), 3);
    ASSERT_EQ(theirs.RowCount(), 5);
  }
  std::vector<std::string> Lines(const std::string& text) const {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  std::string measurement, reference;
  LevelGrid mine, theirs;
};

TEST_F(RenderCompareTest, TheGridIsTheDifferenceOverTheCommonCellsCellByCell) {
  LoadAlone();
  ASSERT_EQ(Run({"--period", "24", "--reference", reference, "--grid", In("d.npy"), measurement}),
            0)
      << err.str();
  ASSERT_EQ(Run({"--period", "24", "--reference", reference, "--grid", In("d.csv"), measurement}),
            0)
      << err.str();
  const LevelGrid difference = ReadNpy(In("d.npy"));
  ASSERT_EQ(difference.RowCount(), 3);
  ASSERT_EQ(difference.MicCount(), 2);
  const std::vector<std::string> csv = Lines(ReadAll(In("d.csv")));
  ASSERT_EQ(csv.size(), 3u);
  for (std::int32_t r = 1; r <= 3; ++r) {
    const char* text = csv[r - 1].c_str();
    char* end = nullptr;
    for (std::int32_t c = 1; c <= 2; ++c) {
      const float expected = mine.At(r, c) - theirs.At(r, c);
      EXPECT_EQ(difference.At(r, c), expected) << r << "," << c;
      EXPECT_EQ(std::strtof(text, &end), expected) << r << "," << c;
      text = end + 1;
    }
  }
}

TEST_F(RenderCompareTest, JsonAddsTheReferenceAndTheMeasurementsStateIsItsOwn) {
  ASSERT_EQ(Run({"--json", measurement}), 0) << err.str();
  const std::string alone = out.str();
  ASSERT_EQ(Run({"--period", "24", "--json", reference}), 0) << err.str();
  const std::string referenceAlone = out.str();
  ASSERT_EQ(Run({"--period", "24", "--json", "--reference", reference, measurement}), 0)
      << err.str();
  // The measurement's summary (its peak, no sampling rate) as without a reference, then the
  // reference's own.
  const std::string both = out.str();
  const std::string own = alone.substr(1, alone.size() - 3);
  const std::string other = referenceAlone.substr(1, referenceAlone.size() - 3);
  EXPECT_EQ(both,
            "{" + own + ", \"reference\": {\"file\": \"" + reference + "\", " + other + "}}\n");
  EXPECT_THAT(other, HasSubstr("\"sample_rate\": 48000"));
}

TEST_F(RenderCompareTest, ThePictureIsTheDifferenceMapInTheDifferencePalette) {
  LoadAlone();
  ASSERT_EQ(Run({"--period", "24", "--range", "200", "--zoom", "2", "--reference", reference,
                 "--png", In("d.png"), measurement}),
            0)
      << err.str();
  ViewState state;
  state.LevelGrid = mine;
  state.RangeDb = 200;  // the differences lie between -190 and -110: no cell saturates
  state.Decimation = 4;
  ViewState view = DifferenceView(state, theirs);
  ImageSurface surface;
  DrawMap(view, surface);
  const QImage expected = ZoomedCells(surface.Image(), Zoom{2, 1}, Palette::Difference);
  const QImage png(QString::fromStdString(In("d.png")));
  ASSERT_EQ(png.size(), QSize(4, 6));
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 4; ++x) EXPECT_EQ(png.pixel(x, y), expected.pixel(x, y)) << x << "," << y;
  }
  // The colours are the difference's own: another palette is refused; the legend frames it.
  EXPECT_EQ(Run({"--palette", "magma", "--reference", reference, measurement}), 2);
  EXPECT_THAT(err.str(), HasSubstr("--palette does not go with --reference"));
  ASSERT_EQ(Run({"--period", "24", "--legend", "--reference", reference, "--png", In("l.png"),
                 measurement}),
            0)
      << err.str();
  EXPECT_GT(QImage(QString::fromStdString(In("l.png"))).width(), 100);
}

TEST_F(RenderCompareTest, AReferenceThatFailsOrSharesNoCellsWritesNothing) {
  const std::string bad = folder.Write("bad.mls", MlsBytes(8, 3, {}));
  const std::vector<std::vector<std::string>> runs = {
      {"--reference", bad, "--png", In("x.png"), "--grid", In("x.npy"), measurement},
      {"--reference", reference, "--png", In("x.png"), measurement},  // no --period
      {"--reference", In("missing.mls"), "--profile-column", "1", "--profile-out", In("x.csv"),
       measurement},
      {"--reference", bad, "--output-dir", In("dir"), measurement},
  };
  for (const auto& arguments : runs) {
    EXPECT_EQ(Run(arguments), 1) << arguments[1];
    EXPECT_THAT(err.str(), HasSubstr("cannot load the reference ")) << arguments[1];
    EXPECT_EQ(out.str(), "");
  }
  EXPECT_THAT(err.str(), HasSubstr("cannot load the reference " + bad +
                                   ": it is shorter than its header says"));
  // The measurement itself fails after a good reference: nothing either.
  EXPECT_EQ(Run({"--period", "24", "--reference", reference, "--png", In("x.png"), bad}), 1);
  // A reference without microphones leaves no cells to compare: the empty-map status.
  const std::string none = folder.Write("none.mls", MlsBytes(4, 0, {}));
  EXPECT_EQ(Run({"--json", "--reference", none, "--png", In("x.png"), measurement}), 3);
  EXPECT_THAT(err.str(), HasSubstr(measurement + " has no cells in common with the reference " +
                                   none + " (0 microphone positions, 2 time rows)"));
  EXPECT_THAT(out.str(), HasSubstr("\"reference\": {"));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 4);
}

TEST_F(RenderCompareTest, EachFileOfABatchIsComparedWithTheReference) {
  LoadAlone();
  const std::string copy = folder.Write("copy.mls", ReadAll(measurement));
  ASSERT_EQ(Run({"--period", "24", "--json", "--reference", reference, "--output-dir", In("out"),
                 "--grid-format", "npy", measurement, copy}),
            0)
      << err.str();
  for (const char* name : {"m.mls", "copy.mls"}) {
    const LevelGrid difference = ReadNpy(In("out/") + name + ".npy");
    ASSERT_EQ(difference.MicCount(), 2) << name;
    EXPECT_EQ(difference.At(3, 2), mine.At(3, 2) - theirs.At(3, 2)) << name;
    EXPECT_TRUE(fs::exists(In("out/") + name + ".png")) << name;
  }
  const auto lines = Lines(out.str());
  ASSERT_EQ(lines.size(), 2u);
  for (const std::string& line : lines) EXPECT_THAT(line, HasSubstr("\"reference\": {\"file\""));
  // The reference may not be overwritten by a batch output either.
  fs::remove(In("out/m.mls.png"));
  fs::create_hard_link(reference, In("out/m.mls.png"));
  EXPECT_EQ(
      Run({"--period", "24", "--reference", reference, "--output-dir", In("out"), measurement}), 1);
  EXPECT_THAT(err.str(), HasSubstr("is the input file " + reference));
}

}  // namespace

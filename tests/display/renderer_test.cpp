#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QImage>
#include <QImageWriter>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "grey.h"
#include "mls_file.h"
#include "render_options.h"
#include "render_run.h"
#include "renderer_run.h"

using ::testing::HasSubstr;
namespace fs = std::filesystem;

namespace {

struct RendererTest : RendererRun {
  std::string Out(const std::string& name) { return (folder.Path() / name).string(); }
};

TEST_F(RendererTest, WritesThePictureOnePixelPerCell) {
  const auto file =
      folder.Write("a.mls", MlsBytes({{{3, 4}, {1, 0}}, {{0.5f, 0}, {2, 0}}, {{1, 1}, {0, 0}}}));
  ASSERT_EQ(Run({"--range", "50", "--png", Out("map.png"), file}), 0) << err.str();
  const QImage image(QString::fromStdString(Out("map.png")));
  ASSERT_EQ(image.size(), QSize(3, 2));
  EXPECT_EQ(image.format(), QImage::Format_Grayscale8);
  const float peak = static_cast<float>(20 * std::log(25.0));
  EXPECT_EQ(qGray(image.pixel(0, 0)), 0);
  EXPECT_EQ(qGray(image.pixel(0, 1)), GreyOf(0.0f, peak, 50.0f));
  EXPECT_EQ(qGray(image.pixel(1, 0)), GreyOf(static_cast<float>(20 * std::log(0.25)), peak, 50));
  EXPECT_EQ(qGray(image.pixel(2, 1)), GreyOf(0.0f, peak, 50.0f));
}

TEST_F(RendererTest, GridFilesHoldTheLevelsExactly) {
  const auto file = folder.Write("b.mls", MlsBytes({{{3, 4}, {0.3f, 0.1f}}, {{0.5f, 0}, {7, 0}}}));
  ASSERT_EQ(Run({"--grid", Out("g.npy"), file}), 0) << err.str();
  const std::string npy = ReadAll(Out("g.npy"));
  ASSERT_EQ(npy.size() % 16, 0u);  // header padded to 64, then 4 floats
  EXPECT_EQ(npy.substr(0, 6), "\x93NUMPY");
  EXPECT_THAT(npy, HasSubstr("'shape': (2, 2)"));
  float cells[4];
  std::memcpy(cells, npy.data() + npy.size() - 16, 16);
  EXPECT_EQ(cells[0], static_cast<float>(20 * std::log(25.0)));  // row 1, column 1
  EXPECT_EQ(cells[1], static_cast<float>(20 * std::log(0.25)));  // row 1, column 2
  const float p = static_cast<float>(double(0.3f) * 0.3f + double(0.1f) * 0.1f);
  EXPECT_EQ(cells[2], static_cast<float>(20 * std::log(static_cast<double>(p))));

  ASSERT_EQ(Run({"--grid", Out("g.csv"), file}), 0) << err.str();
  std::istringstream csv(ReadAll(Out("g.csv")));
  std::string line;
  std::getline(csv, line);
  const auto comma = line.find(',');
  EXPECT_EQ(std::stof(line.substr(0, comma)), cells[0]);
  EXPECT_EQ(std::stof(line.substr(comma + 1)), cells[1]);
  std::getline(csv, line);
  EXPECT_EQ(std::stof(line.substr(0, line.find(','))), cells[2]);
}

TEST_F(RendererTest, JsonSummarisesTheStateAfterTheLastFile) {
  const auto loud = folder.Write("loud.mls", MlsBytes({{{3, 4}}}));
  const auto quiet = folder.Write("quiet.MLS", MlsBytes({{{1, 0}, {0.5f, 0}}, {{1, 1}, {1, 0}}}));
  ASSERT_EQ(Run({"--json", "--range", " -50 ", loud, quiet}), 0) << err.str();
  EXPECT_EQ(out.str(),
            "{\"kind\": \"MLS\", \"mic_count\": 2, \"row_count\": 2, \"sample_rate\": 0, "
            "\"peak_level\": 64.37752, \"range_db\": -50}\n");
}

TEST_F(RendererTest, ThePeakCarriesOnlyBetweenFilesOfOneScale) {
  // A text export at 100 dB, then .mls files (20 ln 25 = 64.38, then 20 ln 4): the first .mls
  // starts from the start-up peak, since a dB peak says nothing of its levels; the second keeps
  // the first's peak.
  std::string export100 =
      "Level map export\nMicrophones = 1\nTime           = 0.002\n"
      "Precision      = 0.001\n[Microphones]\n";
  for (int i = 1; i <= 6; ++i) export100 += "block line " + std::to_string(i) + "\n";
  export100 += "0,0,0,0,0,1e10,0,0,0,0\n0,0,0,0,0,1e5,0,0,0,0\n";
  const auto loud = folder.Write("loud.__lev", export100);
  const auto mls = folder.Write("m.mls", MlsBytes({{{3, 4}}}));
  const auto quieter = folder.Write("q.mls", MlsBytes({{{2, 0}}}));
  ASSERT_EQ(Run({"--json", loud}), 0) << err.str();
  EXPECT_THAT(out.str(), HasSubstr("\"peak_level\": 100,"));
  out.str("");
  ASSERT_EQ(Run({"--json", loud, mls}), 0) << err.str();
  EXPECT_THAT(out.str(), HasSubstr("\"peak_level\": 64.37752,"));
  out.str("");
  ASSERT_EQ(Run({"--json", loud, mls, quieter}), 0) << err.str();
  EXPECT_THAT(out.str(), HasSubstr("\"peak_level\": 64.37752,"));
  out.str("");
  ASSERT_EQ(Run({"--json", mls, loud}), 0) << err.str();
  EXPECT_THAT(out.str(), HasSubstr("\"peak_level\": 100,"));
}

TEST_F(RendererTest, AnyFailureNamesTheFileAndWritesNothing) {
  const auto good = folder.Write("good.mls", MlsBytes({{{3, 4}}}));
  const auto bad = folder.Write("bad.mls", MlsBytes(8, 3, {}));
  EXPECT_EQ(Run({"--png", Out("x.png"), "--grid", Out("x.npy"), good, bad}), 1);
  EXPECT_THAT(err.str(), HasSubstr("cannot load " + bad + ": it is shorter than its header says"));
  EXPECT_FALSE(fs::exists(Out("x.png")));
  EXPECT_FALSE(fs::exists(Out("x.npy")));
  EXPECT_EQ(Run({"--json", Out("missing.mls")}), 1);
  EXPECT_THAT(err.str(), HasSubstr("does not exist"));
  EXPECT_EQ(out.str(), "");
}

TEST_F(RendererTest, RecordingsNeedAPeriod) {
  const auto [wav, pcm] = TwoPeriodRecordings();
  for (const std::string& file : {wav, pcm}) {
    EXPECT_EQ(Run({file}), 1);
    EXPECT_EQ(err.str(), "mlsvexal-render: cannot load " + file +
                             ": it is a recording: give its repetition period with --period\n");
    EXPECT_EQ(Run({"--period", "16", "--json", file}), 0) << err.str();
    EXPECT_THAT(out.str(), HasSubstr("\"mic_count\": 2")) << file;
  }
}

TEST(RenderOptions, ValuesMayStartWithAMinusAndRangeZeroIsRefused) {
  const RenderOptions o = ParseRenderOptions({"--range", "-50", "--period", "-1", "f.mls"});
  EXPECT_EQ(o.rangeDb, -50.0f);
  EXPECT_EQ(o.period, "-1");
  EXPECT_THROW(ParseRenderOptions({"--range", "0", "f.mls"}), std::invalid_argument);
  EXPECT_THROW(ParseRenderOptions({"--range", "1e39", "f.mls"}), std::invalid_argument);
  EXPECT_THROW(ParseRenderOptions({"--range", "1,5", "f.mls"}), std::invalid_argument);
  EXPECT_THROW(ParseRenderOptions({"--grid", "g.txt", "f.mls"}), std::invalid_argument);
  EXPECT_THROW(ParseRenderOptions({"--png"}), std::invalid_argument);
  EXPECT_THROW(ParseRenderOptions({}), std::invalid_argument);
  EXPECT_EQ(ParseRenderOptions({"--", "-odd.mls"}).files.at(0), "-odd.mls");
  EXPECT_EQ(ParseRenderOptions({"--png", "-x.png", "caf\xe9 \xff.mls"}).files.at(0),
            "caf\xe9 \xff.mls");  // bytes that are not UTF-8 pass unchanged
  EXPECT_EQ(ParseRenderOptions({"--png=-x.png", "f.mls"}).pngPath, "-x.png");
  EXPECT_TRUE(ParseRenderOptions({"--help"}).help);
}

TEST_F(RendererTest, HelpVersionAndWrongArgumentsAnswerTheUsualWay) {
  for (const char* help : {"--help", "-h"}) {
    ASSERT_EQ(Run({help}), 0);
    EXPECT_THAT(out.str(), testing::StartsWith("Usage: mlsvexal-render [options] FILE...\n"));
    EXPECT_THAT(out.str(), HasSubstr("--output-dir <DIR>"));
    EXPECT_THAT(out.str(), HasSubstr("Exit status:\n  0  every output written\n"));
    EXPECT_EQ(err.str(), "");
  }
  ASSERT_EQ(Run({"--version"}), 0);
  EXPECT_THAT(out.str(), testing::StartsWith("mlsvexal-render " MLSVEXAL_VERSION "\n"));
  EXPECT_THAT(out.str(), HasSubstr("GPL-3.0-or-later"));

  // Each wrong command line exits 2 with one message line and the usage hint, before loading.
  const std::string missing = Out("missing.mls");
  const std::vector<std::pair<std::vector<std::string>, std::string>> wrong = {
      {{"--bogus", missing}, "unknown option 'bogus'"},
      {{missing, "--png"}, "missing value after '--png'"},
      {{"--json=yes", missing}, "unexpected value after '--json'"},
      {{"--png", Out("a.png"), "--png=" + Out("b.png"), missing}, "--png is given more than once"},
      {{"--json", "--json", missing}, "--json is given more than once"},
      {{"--range", "50", "--range", "50", missing}, "--range is given more than once"},
      {{"--png", Out("map.xyz"), missing},
       "--png cannot write " + Out("map.xyz") + ": no image writer for its extension; use one of"},
      {{"--png", Out("map.png.bak"), missing}, "--png cannot write " + Out("map.png.bak")},
      {{"--zoom", "0", missing}, "--zoom needs a whole number of 1 or more, not \"0\""},
      {{}, "no measurement file given"},
  };
  for (const auto& [arguments, message] : wrong) {
    EXPECT_EQ(Run(arguments), 2) << message;
    EXPECT_THAT(err.str(), testing::StartsWith("mlsvexal-render: " + message)) << err.str();
    EXPECT_THAT(err.str(), testing::EndsWith("\nUsage: mlsvexal-render [options] FILE... (--help "
                                             "lists the options)\n"));
    EXPECT_EQ(out.str(), "");
  }
  EXPECT_FALSE(fs::exists(Out("a.png")));
  EXPECT_FALSE(fs::exists(Out("map.xyz")));
}

TEST_F(RendererTest, ThePictureFormatFollowsTheExtension) {
  const auto file = folder.Write("f.mls", MlsBytes({{{3, 4}, {1, 0}}, {{0.5f, 0}, {2, 0}}}));
  ASSERT_EQ(Run({"--png", Out("plain.png"), file}), 0) << err.str();
  const QImage png(QString::fromStdString(Out("plain.png")));
  // The extension in any case; lossless formats hold the very greys of the PNG.
  struct Case {
    const char* name;
    const char* format;  // Qt's name, to skip formats without a writer here
    std::string magic;
    bool lossless;
  };
  const std::vector<Case> cases = {
      {"noext", "png", "\x89PNG", true},        {"m.BMP", "bmp", "BM", true},
      {"m.jpg", "jpeg", "\xff\xd8\xff", false}, {"m.jpeg", "jpeg", "\xff\xd8\xff", false},
      {"m.tif", "tiff", "II*", true},           {"m.webp", "webp", "RIFF", false},
  };
  const auto writers = QImageWriter::supportedImageFormats();
  for (const Case& c : cases) {
    if (!writers.contains(c.format)) continue;
    ASSERT_EQ(Run({"--png", Out(c.name), file}), 0) << c.name << ": " << err.str();
    EXPECT_EQ(ReadAll(Out(c.name)).substr(0, c.magic.size()), c.magic) << c.name;
    const QImage image(QString::fromStdString(Out(c.name)), c.format);
    ASSERT_EQ(image.size(), QSize(2, 2)) << c.name;
    if (c.lossless) {
      for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) EXPECT_EQ(qGray(image.pixel(x, y)), qGray(png.pixel(x, y)));
    }
  }
  // A colour palette with the legend, as JPEG.
  ASSERT_EQ(Run({"--palette", "magma", "--legend", "--png", Out("legend.jpg"), file}), 0);
  EXPECT_GT(QImage(QString::fromStdString(Out("legend.jpg"))).width(), 100);
}

}  // namespace

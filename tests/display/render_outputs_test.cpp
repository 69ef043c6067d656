// The renderer's outputs never destroy an input, never follow a planted link, and are written
// all or nothing.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QImage>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "mls_file.h"
#include "render_run.h"
#include "renderer_run.h"

using ::testing::HasSubstr;
namespace fs = std::filesystem;

namespace {

struct RenderOutputsTest : RendererRun {
  RenderOutputsTest() { measurement = folder.Write("s.mls", MlsBytes({{{3, 4}, {1, 0}}})); }
  std::set<std::string> Names() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder.Path()))
      names.insert(entry.path().filename().string());
    return names;
  }

  std::string measurement;
};

TEST_F(RenderOutputsTest, AnOutputThatIsAnInputIsRefusedBeforeLoading) {
  const std::string before = ReadAll(measurement);
  fs::create_symlink(measurement, In("link.png"));
  fs::create_hard_link(measurement, In("hard.npy"));
  fs::create_hard_link(measurement, In("hard.bmp"));
  const std::vector<std::vector<std::string>> runs = {
      {"--png", In("link.png"), measurement},
      {"--png", In("hard.bmp"), measurement},
      {"--grid", In("hard.npy"), measurement},
      {"--png", In("map.png"), "--grid", In("hard.npy"), measurement},
      {"--output-dir", folder.Path().string(), In("hard.bmp")},  // writes hard.bmp.png
  };
  fs::create_hard_link(measurement, In("hard.bmp.png"));
  for (const auto& arguments : runs) {
    EXPECT_EQ(Run(arguments), 1) << arguments[1];
    EXPECT_THAT(err.str(), HasSubstr("is the input file ")) << arguments[1];
    EXPECT_EQ(ReadAll(measurement), before);
  }
  // The input itself as the picture: its extension names no image format.
  EXPECT_EQ(Run({"--png", measurement, measurement}), 2);
  EXPECT_EQ(ReadAll(measurement), before);
  EXPECT_FALSE(fs::exists(In("map.png")));

  // A text export named like a grid output.
  const std::string text = folder.Write("s.csv", std::string("Microphones = 1\n"));
  EXPECT_EQ(Run({"--grid", text, text}), 1);
  EXPECT_EQ(ReadAll(text), "Microphones = 1\n");
}

TEST_F(RenderOutputsTest, TwoOutputsNamingOneFileAreRefused) {
  folder.Write("x.png", std::string("old"));
  fs::create_symlink(In("x.png"), In("x.npy"));
  EXPECT_EQ(Run({"--png", In("x.png"), "--grid", In("x.npy"), measurement}), 1);
  EXPECT_THAT(err.str(), HasSubstr("two outputs name the same file"));
  EXPECT_EQ(ReadAll(In("x.png")), "old");
}

TEST_F(RenderOutputsTest, TemporariesAreNeitherPredictableNorFollowedThroughLinks) {
  const std::string victim = folder.Write("victim.txt", std::string("keep me"));
  fs::create_symlink(victim, In("o.png.part"));
  const std::string oddInput = folder.Write("q.png.part", MlsBytes({{{1, 0}}}));
  const std::string oddBefore = ReadAll(oddInput);
  ASSERT_EQ(Run({"--png", In("o.png"), measurement}), 0) << err.str();
  ASSERT_EQ(Run({"--png", In("q.png"), measurement}), 0) << err.str();
  EXPECT_EQ(ReadAll(victim), "keep me");
  EXPECT_TRUE(fs::is_symlink(In("o.png.part")));
  EXPECT_EQ(ReadAll(oddInput), oddBefore);
  EXPECT_EQ(QImage(QString::fromStdString(In("o.png"))).size(), QSize(1, 2));
  EXPECT_EQ(Names(), (std::set<std::string>{"s.mls", "victim.txt", "o.png.part", "q.png.part",
                                            "o.png", "q.png"}));
}

TEST_F(RenderOutputsTest, AFailedOutputLeavesNoOtherOutputAndNoTemporary) {
  EXPECT_EQ(Run({"--png", In("ok.png"), "--grid", In("missing/x.npy"), measurement}), 1);
  EXPECT_THAT(err.str(), HasSubstr("cannot write " + In("missing/x.npy")));
  fs::create_directory(In("folder.png"));
  EXPECT_EQ(Run({"--png", In("folder.png"), "--grid", In("g.csv"), measurement}), 1);
  EXPECT_THAT(err.str(), HasSubstr("it is a folder"));
  EXPECT_EQ(Names(), (std::set<std::string>{"s.mls", "folder.png"}));
  EXPECT_TRUE(fs::is_empty(In("folder.png")));
}

TEST_F(RenderOutputsTest, OutputsReplaceOldFilesWithUsualPermissionsAndMayHaveLongNames) {
  folder.Write("old.csv", std::string("old"));
  const std::string longName = std::string(251, 'n') + ".csv";  // 255 bytes, the usual limit
  ASSERT_EQ(Run({"--grid", In("old.csv"), measurement}), 0) << err.str();
  ASSERT_EQ(Run({"--grid", In(longName), measurement}), 0) << err.str();
  EXPECT_EQ(ReadAll(In(longName)), ReadAll(In("old.csv")));
  EXPECT_NE(ReadAll(In("old.csv")), "old");
  struct stat info {};
  ASSERT_EQ(::stat(In("old.csv").c_str(), &info), 0);
  const mode_t mask = ::umask(0);
  ::umask(mask);
  EXPECT_EQ(info.st_mode & 0777, 0666 & ~mask);
}

}  // namespace

// The renderer's outputs never destroy an input, never follow a planted link, and are written
// all or nothing.

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <QImage>
#include <filesystem>
#include <fstream>
#include <future>
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

// Reads a FIFO to its end on another thread while the renderer writes it.
std::future<std::string> ReadFifo(const std::string& path) {
  return std::async(std::launch::async, [path] { return ReadFifoUntilClosed(path); });
}

TEST_F(RenderOutputsTest, StreamsAreWrittenInPlaceAndLinksToFilesStayLinks) {
  ASSERT_EQ(::mkfifo(In("fifo").c_str(), 0600), 0);
  fs::create_symlink(In("fifo"), In("to-fifo.png"));
  const std::string picture = folder.Write("picture.png", std::string("old"));
  ::chmod(picture.c_str(), 0640);
  fs::create_symlink("picture.png", In("to-picture.png"));  // relative, as links often are
  fs::create_symlink(In("missing.csv"), In("to-missing.csv"));

  for (const std::string fifo : {"fifo", "to-fifo.png"}) {
    auto read = ReadFifo(In("fifo"));
    ASSERT_EQ(Run({"--png", In(fifo), measurement}), 0) << err.str();
    EXPECT_EQ(QImage::fromData(QByteArray::fromStdString(read.get())).size(), QSize(1, 2)) << fifo;
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status(In("fifo"))));
  }
  // A pipe reached through /proc, as a shell's >(command) names one.
  int pipeEnds[2];
  ASSERT_EQ(::pipe(pipeEnds), 0);
  fs::create_symlink("/proc/self/fd/" + std::to_string(pipeEnds[1]), In("pipe.png"));
  ASSERT_EQ(Run({"--png", In("pipe.png"), measurement}), 0) << err.str();
  ::close(pipeEnds[1]);
  std::string piped(4096, '\0');
  piped.resize(
      static_cast<std::size_t>(std::max<ssize_t>(::read(pipeEnds[0], piped.data(), 4096), 0)));
  ::close(pipeEnds[0]);
  EXPECT_EQ(QImage::fromData(QByteArray::fromStdString(piped)).size(), QSize(1, 2));

  ASSERT_EQ(Run({"--png", In("to-picture.png"), "--grid", In("to-missing.csv"), measurement}), 0)
      << err.str();
  EXPECT_TRUE(fs::is_symlink(In("to-picture.png")));
  EXPECT_TRUE(fs::is_symlink(In("to-missing.csv")));
  EXPECT_EQ(QImage(QString::fromStdString(picture)).size(), QSize(1, 2));
  EXPECT_THAT(ReadAll(In("missing.csv")), HasSubstr("\n"));
  struct stat info {};
  ASSERT_EQ(::stat(picture.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);  // the replaced file keeps its permissions
  EXPECT_EQ(Names(),
            (std::set<std::string>{"s.mls", "fifo", "to-fifo.png", "pipe.png", "picture.png",
                                   "to-picture.png", "to-missing.csv", "missing.csv"}));
}

TEST_F(RenderOutputsTest, DeviceNodesAreWrittenInPlace) {
  if (::geteuid() != 0) GTEST_SKIP() << "making a device node needs root";
  // The system's null device, made afresh in the test folder: the real /dev is never touched.
  ASSERT_EQ(::mknod(In("null").c_str(), S_IFCHR | 0666, ::makedev(1, 3)), 0);
  fs::create_symlink(In("null"), In("to-null.csv"));
  ASSERT_EQ(Run({"--png", In("null"), "--grid", In("to-null.csv"), measurement}), 1);
  EXPECT_THAT(err.str(), HasSubstr("two outputs would share the stream"));
  ASSERT_EQ(Run({"--png", In("null"), measurement}), 0) << err.str();
  ASSERT_EQ(Run({"--grid", In("to-null.csv"), measurement}), 0) << err.str();
  EXPECT_TRUE(fs::is_character_file(fs::symlink_status(In("null"))));
  EXPECT_TRUE(fs::is_symlink(In("to-null.csv")));
  EXPECT_EQ(Names(), (std::set<std::string>{"s.mls", "null", "to-null.csv"}));
}

TEST_F(RenderOutputsTest, StandardOutputTakesOneOutputAlone) {
  // The renderer's standard output is this process's: sent to a file for the test.
  const std::string captured = In("stdout");
  std::fflush(stdout);
  const int saved = ::dup(STDOUT_FILENO);
  const int file = ::open(captured.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ASSERT_GE(file, 0);
  ::dup2(file, STDOUT_FILENO);
  ::close(file);
  // A link of the test's own to this process's standard output, as a shell's /dev/stdout is.
  fs::create_symlink("/proc/self/fd/1", In("stdout-link"));
  const int picture = Run({"--png", "-", measurement});
  const std::vector<std::vector<std::string>> shared = {
      {"--png", "-", "--grid", "-", measurement},
      {"--png", "-", "--profile-column", "1", "--profile-out", In("stdout-link"), measurement},
      {"--grid", "-", "--json", measurement},
      {"--png", In("stdout-link"), "--profile-row", "1", measurement},
  };
  std::vector<std::pair<int, std::string>> refused;
  for (const auto& arguments : shared) {
    const int status = Run(arguments);
    refused.emplace_back(status, err.str());
  }
  ::dup2(saved, STDOUT_FILENO);
  ::close(saved);

  EXPECT_EQ(picture, 0);
  EXPECT_EQ(QImage(QString::fromStdString(captured)).size(), QSize(1, 2));
  for (std::size_t i = 0; i < shared.size(); ++i) {
    EXPECT_EQ(refused[i].first, 1) << i;
    EXPECT_THAT(refused[i].second,
                ::testing::AnyOf(HasSubstr("two outputs"), HasSubstr("it is standard output")))
        << i;
  }
  EXPECT_EQ(QImage(QString::fromStdString(captured)).size(), QSize(1, 2));  // nothing added
}

TEST_F(RenderOutputsTest, OneNewFileUnderTwoSpellingsIsRefused) {
  fs::create_directory(In("real"));
  fs::create_directory_symlink(In("real"), In("via"));
  const fs::path before = fs::current_path();
  fs::current_path(folder.Path());  // names of no folder at all are relative to this one
  const std::vector<std::pair<std::string, std::string>> spellings = {
      {"p.png", "./p.png"},
      {"p.png", In("p.png")},
      {"real/../p.png", "p.png"},
      {In("p.png"), In("real/../p.png")},
      {In("real/p.png"), In("via/p.png")},
      {In("real/p.png"), In("via/./p.png")},
  };
  for (const auto& [first, second] : spellings) {
    EXPECT_EQ(Run({"--png", first, "--profile-column", "1", "--profile-out", second, measurement}),
              1)
        << second;
    EXPECT_THAT(err.str(), HasSubstr("two outputs name the same file")) << second;
  }
  fs::current_path(before);
  EXPECT_EQ(Names(), (std::set<std::string>{"s.mls", "real", "via"}));
  EXPECT_TRUE(fs::is_empty(In("real")));
}

TEST_F(RenderOutputsTest, ANameTooLongIsFoundBeforeAnyOutputIsReplaced) {
  folder.Write("p1.png", std::string("old"));
  const std::string tooLong = std::string(256, 'n') + ".npy";
  EXPECT_EQ(Run({"--png", In("p1.png"), "--grid", In(tooLong), measurement}), 1);
  EXPECT_THAT(err.str(), HasSubstr("File name too long"));
  EXPECT_EQ(ReadAll(In("p1.png")), "old");
  EXPECT_EQ(Names(), (std::set<std::string>{"s.mls", "p1.png"}));
}

}  // namespace

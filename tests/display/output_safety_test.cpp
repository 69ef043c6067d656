// Output sets undo what they did when a later step fails or a signal ends the run; the PNG writer
// works without a second thread; JSON keeps the bytes of any file name; pictures are bounded.

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QImage>
#include <csignal>
#include <filesystem>
#include <functional>
#include <set>

#include "draw_error.h"
#include "mls_file.h"
#include "output_files.h"
#include "picture_limit.h"
#include "png_writer.h"
#include "render_steps.h"
#include "renderer_run.h"

using ::testing::HasSubstr;
namespace fs = std::filesystem;

namespace {

struct OutputSafetyTest : RendererRun {
  std::set<std::string> Names() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder.Path()))
      names.insert(entry.path().filename().string());
    return names;
  }
};

// Runs body in a child process; its wait status.
int InChild(const std::function<void()>& body) {
  const pid_t child = ::fork();
  if (child == 0) {
    body();
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return status;
}

auto Text(const std::string& text) {
  return [text](int, std::ostream& out) { out << text; };
}

TEST_F(OutputSafetyTest, AFailedRenameGivesBackEveryReplacedFile) {
  folder.Write("a.csv", std::string("old a"));
  OutputFiles files;
  files.Write(In("a.csv"), Text("new a"));
  files.Write(In("b.csv"), Text("new b"));
  // c is a folder by the time the renames run: its rename fails after a's and b's.
  files.Write(In("c.csv"), [&](int, std::ostream& stream) {
    stream << "new c";
    fs::create_directory(In("c.csv"));
  });
  EXPECT_THROW(files.Commit(), OutputError);
  EXPECT_EQ(ReadAll(In("a.csv")), "old a");
  EXPECT_EQ(Names(), (std::set<std::string>{"a.csv", "c.csv"}));
}

TEST_F(OutputSafetyTest, ASignalDuringAWriteRemovesEveryTemporary) {
  folder.Write("old.csv", std::string("old"));
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    const int status = InChild([&] {
      OutputFiles files;
      files.Write(In("first.csv"), Text("written"));
      files.Write(In("old.csv"), [signal](int, std::ostream& stream) {
        stream << std::string(100000, 'x') << std::flush;
        ::raise(signal);
      });
    });
    ASSERT_TRUE(WIFSIGNALED(status)) << signal;
    EXPECT_EQ(WTERMSIG(status), signal);
    EXPECT_EQ(Names(), (std::set<std::string>{"old.csv"})) << signal;
    EXPECT_EQ(ReadAll(In("old.csv")), "old");
  }
}

TEST_F(OutputSafetyTest, APngWithoutASecondThreadIsWrittenByOne) {
  QImage image(2400, 2400, QImage::Format_Grayscale8);  // above the size that splits the work
  for (int y = 0; y < image.height(); ++y) std::memset(image.scanLine(y), y % 251, 2400);
  const std::string path = In("one.png");
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  ASSERT_GE(fd, 0);
  const int status = InChild([&] {
    // Root is exempt from the process limit: an unprivileged user is not.
    if (::geteuid() == 0 && ::setuid(65534) != 0) ::_exit(2);
    const rlimit one{1, 1};
    if (::setrlimit(RLIMIT_NPROC, &one) != 0) ::_exit(3);
    try {
      WritePng(image, fd);
    } catch (const std::exception&) {
      ::_exit(1);
    }
  });
  ::close(fd);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(QImage(QString::fromStdString(path)), image);
}

TEST(JsonString, BytesThatAreNotUtf8BecomeSurrogateEscapes) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"plain \"q\" \\ \n", "\"plain \\\"q\\\" \\\\ \\u000a\""},
      {"h\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80", "\"h\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80\""},
      {"a\xff"
       "b",
       "\"a\\udcffb\""},
      {"\xc0\xaf", "\"\\udcc0\\udcaf\""},                        // overlong '/'
      {"\xed\xa0\x80", "\"\\udced\\udca0\\udc80\""},             // a surrogate's own encoding
      {"\xe2\x82", "\"\\udce2\\udc82\""},                        // cut short
      {"\xf4\x90\x80\x80", "\"\\udcf4\\udc90\\udc80\\udc80\""},  // beyond U+10FFFF
      {"\x80z", "\"\\udc80z\""},                                 // a stray continuation byte
  };
  for (const auto& [bytes, json] : cases) EXPECT_EQ(JsonString(bytes), json) << json;
}

TEST(PictureLimit, PicturesAreBoundedByTheBytesOfTheirPixels) {
  EXPECT_FALSE(PictureSizeFault(32768, 32768, 1));  // exactly 1 GiB
  EXPECT_THAT(PictureSizeFault(32768, 32769, 1).value_or(""), HasSubstr("1024 MiB allowed"));
  EXPECT_TRUE(PictureSizeFault(32768, 32768, 3));
  EXPECT_TRUE(PictureSizeFault(std::int64_t{1} << 40, std::int64_t{1} << 40, 3));  // no overflow
  const LegendFacts facts;
  // A 256 x 131072 map: fine at 1:1 and zoomed out, too large at zoom 32 in any palette.
  EXPECT_NO_THROW(CheckViewImageSize({256, 131072}, {1, 1}, Palette::Viridis, false, facts));
  EXPECT_NO_THROW(CheckViewImageSize({256, 131072}, {1, 64}, Palette::Grey, false, facts));
  EXPECT_THROW(CheckViewImageSize({256, 131072}, {32, 1}, Palette::Grey, false, facts), DrawError);
  // Grey at zoom 4 is 512 MiB as one byte a pixel, 1.5 GiB in colour.
  EXPECT_NO_THROW(CheckViewImageSize({256, 131072}, {4, 1}, Palette::Grey, false, facts));
  EXPECT_THROW(CheckViewImageSize({256, 131072}, {4, 1}, Palette::Magma, false, facts), DrawError);
}

TEST_F(OutputSafetyTest, TheRendererRefusesAPictureBeyondTheLimitBeforeLoading) {
  const std::string map =
      folder.Write("m.mls", MlsBytes(200, 100, std::vector<ComplexPoint>(10000, {1.0f, 0.0f})));
  const std::vector<std::vector<std::string>> runs = {
      {"--zoom", "400", "--png", In("p.png"), map},
      {"--zoom", "200", "--palette", "viridis", "--png", In("p.png"), map},
      {"--zoom", "200", "--legend", "--png", In("p.png"), map},
  };
  for (const auto& arguments : runs) {
    EXPECT_EQ(Run(arguments), 1) << arguments[1];
    EXPECT_THAT(err.str(),
                HasSubstr("cells at zoom " + arguments[1] + " is too large: the picture"));
  }
  EXPECT_EQ(Run({"--zoom", "200", "--grid", In("g.npy"), map}), 0) << err.str();  // no picture
  EXPECT_EQ(Names(), (std::set<std::string>{"m.mls", "g.npy"}));
}

}  // namespace

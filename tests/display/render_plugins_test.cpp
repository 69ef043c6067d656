// A summary or a plain PNG needs none of Qt's image format plugins and no font: loading them
// costs a headless run several milliseconds of its start. Each run happens in a child process,
// whose mappings show what the run added to those of the tests before it.

#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "mls_file.h"
#include "renderer_run.h"

namespace {

// Exit statuses of the child.
constexpr int kClean = 0;
constexpr int kRunFailed = 2;
constexpr int kPluginLoaded = 3;
constexpr int kFontLoaded = 4;

std::string Maps() {
  std::ifstream in("/proc/self/maps");
  return {std::istreambuf_iterator<char>(in), {}};
}

// Whether a mapping that names text was added between before and after.
bool Added(const std::string& before, const std::string& after, const std::string& text) {
  std::ptrdiff_t count = 0;
  for (std::size_t at = after.find(text); at != std::string::npos; at = after.find(text, at + 1)) {
    ++count;
  }
  for (std::size_t at = before.find(text); at != std::string::npos;
       at = before.find(text, at + 1)) {
    --count;
  }
  return count > 0;
}

int RunAndInspect(const std::vector<std::string>& arguments) {
  const std::string before = Maps();
  std::ostringstream out, err;
  if (RunRenderer(arguments, out, err) != 0) return kRunFailed;
  const std::string after = Maps();
  if (Added(before, after, "/plugins/")) return kPluginLoaded;
  for (const char* font : {".ttf", ".otf", ".pfb", "fontconfig/"}) {
    if (Added(before, after, font)) return kFontLoaded;
  }
  return kClean;
}

TEST_F(RendererRun, SummariesAndPlainPicturesLoadNoPluginAndNoFont) {
  const std::string file = folder.Write("a.mls", MlsBytes({{{3, 4}, {1, 0}}, {{0.5f, 0}, {2, 0}}}));
  const std::vector<std::vector<std::string>> runs = {
      {"--json", file},
      {"--png", In("map.png"), file},
      {"--png", In("map.png"), "--grid", In("map.npy"), "--zoom", "2", "--palette", "magma", file},
  };
  for (const auto& arguments : runs) {
    std::string shown;
    for (const std::string& a : arguments) shown += a + " ";
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) ::_exit(RunAndInspect(arguments));
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << shown;
    EXPECT_NE(WEXITSTATUS(status), kRunFailed) << shown << "failed";
    EXPECT_NE(WEXITSTATUS(status), kPluginLoaded) << shown << "loaded an image format plugin";
    EXPECT_NE(WEXITSTATUS(status), kFontLoaded) << shown << "loaded a font";
  }
}

}  // namespace

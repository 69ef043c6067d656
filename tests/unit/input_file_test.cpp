// What opening a measurement refuses: anything but a regular file, each with one plain cause and
// without waiting on the file (a FIFO with no writer would otherwise block the load for good; the
// harness gives these tests a time limit, so such a hang fails as a timeout).

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "recording_host.h"
#include "test_files.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kNotRegular = "it is not a regular file";

class InputFileRefusal : public ::testing::Test {
 protected:
  std::string LoadFailure(const std::string& path) {
    // A failed call earlier in the process leaves errno set; the cause must not depend on it.
    errno = ENOENT;
    return LoadFailureMessage(path, host);
  }
  std::string Fifo(const std::string& name) const {
    const std::string path = (folder.Path() / name).string();
    if (::mkfifo(path.c_str(), 0600) != 0) ADD_FAILURE() << "mkfifo: " << std::strerror(errno);
    return path;
  }

  TempFolder folder;
  RecordingHost host;
};

TEST_F(InputFileRefusal, FifoWithoutWriterIsRefusedByEveryReader) {
  for (const char* name : {"pipe.mls", "pipe.wav", "pipe.pcm", "pipe.__lev"}) {
    EXPECT_EQ(LoadFailure(Fifo(name)), kNotRegular) << name;
  }
  EXPECT_TRUE(host.prompts.empty());  // refused before the recording readers ask for a period
}

TEST_F(InputFileRefusal, DevicesAndLinksToThemAreRefused) {
  EXPECT_EQ(LoadFailure("/dev/zero"), kNotRegular);
  const fs::path random = folder.Path() / "random.mls";
  fs::create_symlink("/dev/urandom", random);
  EXPECT_EQ(LoadFailure(random.string()), kNotRegular);
  const fs::path zero = folder.Path() / "zero.__lev";
  fs::create_symlink("/dev/zero", zero);
  EXPECT_EQ(LoadFailure(zero.string()), kNotRegular);
}

TEST_F(InputFileRefusal, SocketIsRefused) {
  const std::string path = (folder.Path() / "socket.mls").string();
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(path.size(), sizeof address.sun_path);
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  EXPECT_EQ(LoadFailure(path), kNotRegular);
  ::close(fd);
}

TEST_F(InputFileRefusal, FoldersAndMissingFilesKeepTheirOwnCauses) {
  const fs::path sub = folder.Path() / "scans.mls";
  fs::create_directory(sub);
  EXPECT_EQ(LoadFailure(sub.string()), "it is a folder, not a file");
  EXPECT_EQ(LoadFailure((folder.Path() / "none.mls").string()), "the file does not exist");
  EXPECT_EQ(LoadFailure((folder.Path() / "none.__lev").string()), "the file does not exist");
}

}  // namespace

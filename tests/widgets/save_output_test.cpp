// The window's saves go through the renderer's output path: on a full disk they report the cause
// and keep the old file; links and streams are treated as by the renderer.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QImage>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "profiles_window.h"
#include "save_view.h"
#include "test_files.h"
#include "widget_support.h"

using ::testing::HasSubstr;
namespace fs = std::filesystem;

namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

QImage Ramp() {
  QImage image(300, 200, QImage::Format_RGB888);
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) image.setPixelColor(x, y, QColor(x % 256, y, 99));
  }
  return image;
}

// A small tmpfs mounted on a folder of the test's own, filled to the last page.
class FullDisk {
 public:
  FullDisk() {
    if (::geteuid() != 0) {
      skip_ = "mounting a small file system needs root";
      return;
    }
    mount_ = folder_.Path() / "disk";
    fs::create_directory(mount_);
    if (::mount("tmpfs", mount_.c_str(), "tmpfs", 0, "size=256k") != 0) {
      skip_ = std::string("tmpfs cannot be mounted here: ") + std::strerror(errno);
      return;
    }
    mounted_ = true;
  }
  ~FullDisk() {
    if (mounted_) ::umount2(mount_.c_str(), MNT_DETACH);
  }
  const std::string& Skip() const { return skip_; }
  std::string In(const std::string& name) const { return (mount_ / name).string(); }
  void Fill() const {
    std::ofstream filler(In("filler"), std::ios::binary);
    const std::string block(4096, 'f');
    while (filler.write(block.data(), static_cast<std::streamsize>(block.size()))) {
    }
  }

 private:
  TempFolder folder_;
  fs::path mount_;
  bool mounted_ = false;
  std::string skip_;
};

TEST(SaveOutput, AFullDiskIsReportedAndTheOldFileKept) {
  const FullDisk disk;
  if (!disk.Skip().empty()) GTEST_SKIP() << disk.Skip();
  for (const std::string name : {"view.jpg", "view.bmp", "view.png", "profiles.csv"}) {
    std::ofstream(disk.In(name)) << "old";
  }
  disk.Fill();
  for (const std::string name : {"view.jpg", "view.bmp", "view.png"}) {
    const auto fault = SaveView(Ramp(), disk.In(name));
    ASSERT_TRUE(fault) << name;
    EXPECT_THAT(*fault, HasSubstr("Cannot save " + disk.In(name) + ": No space left on device"));
    EXPECT_EQ(ReadAll(disk.In(name)), "old");
  }
  // The Profiles window's "Save data…", as a user starts it.
  ScriptedDialogs dialogs;
  ProfilesWindow profiles(dialogs, nullptr);
  dialogs.saves.push_back(disk.In("profiles.csv"));
  profiles.SaveData();
  ASSERT_EQ(dialogs.errors.size(), 1u);
  EXPECT_THAT(dialogs.errors[0], HasSubstr("No space left on device"));
  EXPECT_EQ(ReadAll(disk.In("profiles.csv")), "old");
  std::size_t entries = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(disk.In(""))) ++entries;
  EXPECT_EQ(entries, 5u);  // the four outputs and the filler: no temporary left
}

TEST(SaveOutput, SavesFollowLinksAndWriteStreamsInPlace) {
  const TempFolder folder;
  const std::string target = folder.Write("target.png", std::string("old"));
  ::chmod(target.c_str(), 0604);
  const std::string link = (folder.Path() / "link.png").string();
  fs::create_symlink(target, link);
  const std::string fifo = (folder.Path() / "fifo.bmp").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);

  EXPECT_EQ(SaveView(Ramp(), link), std::nullopt);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(QImage(QString::fromStdString(target)).size(), QSize(300, 200));
  struct stat info {};
  ASSERT_EQ(::stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0604u);

  std::string read;
  std::thread reader([&] { read = ReadFifoUntilClosed(fifo); });
  EXPECT_EQ(SaveView(Ramp(), fifo), std::nullopt);
  reader.join();
  EXPECT_EQ(QImage::fromData(QByteArray::fromStdString(read), "BMP").size(), QSize(300, 200));
  EXPECT_TRUE(fs::is_fifo(fifo));
}

}  // namespace

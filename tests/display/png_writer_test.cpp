// The PNG writer: standard files that Qt's decoder and an independent one read back pixel for
// pixel, no larger than Qt's own writer makes by much, and failures reported.

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QBuffer>
#include <QImage>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <stdexcept>

#include "png_writer.h"
#include "test_files.h"
#include "view_image.h"

using ::testing::HasSubstr;
namespace fs = std::filesystem;

namespace {

// A map's greys: a bright diagonal band, a decay from it, and a floor of noisy greys, in
// proportions like a measurement's. noise = 0 gives flat areas.
QImage MapGreys(int width, int height, int noise, unsigned seed = 7) {
  QImage image(width, height, QImage::Format_Grayscale8);
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> jitter(-noise, noise);
  for (int y = 0; y < height; ++y) {
    uchar* row = image.scanLine(y);
    for (int x = 0; x < width; ++x) {
      const int after = y - 3 * x;
      const int base = after < 0 ? 255 : std::min(255, 40 + after / 4);
      row[x] = static_cast<uchar>(std::clamp(base + (base < 255 ? jitter(random) : 0), 0, 255));
    }
  }
  return image;
}

QImage RandomImage(int width, int height, QImage::Format format) {
  QImage image(width, height, format);
  std::mt19937 random(11);
  for (int y = 0; y < height; ++y) {
    uchar* row = image.scanLine(y);
    for (qsizetype i = 0; i < image.bytesPerLine(); ++i) row[i] = static_cast<uchar>(random());
  }
  return image;
}

QImage Zoomed(const QImage& greys, int zoom, Palette palette) {
  return ZoomedCells(greys, Zoom{zoom, 1}, palette);
}

struct Case {
  const char* name;
  QImage image;
};

// Every format and path through the writer: small and large images (the latter by a sample of
// rows, at the fast level, in several IDAT chunks, the largest in two halves on two threads), odd
// widths whose rows are padded in memory, unfiltered and adaptively filtered rows, alpha, and a
// format that is converted first.
std::vector<Case> Cases() {
  QImage alpha = RandomImage(33, 17, QImage::Format_ARGB32);
  return {
      {"one pixel", MapGreys(1, 1, 3)},
      {"one row", RandomImage(7, 1, QImage::Format_RGB888)},
      {"one column", MapGreys(1, 40, 3)},
      {"small map", MapGreys(61, 300, 2)},
      {"noise over 1 MiB", RandomImage(1031, 1030, QImage::Format_Grayscale8)},
      {"large noisy map", MapGreys(257, 5000, 6)},
      {"large flat map", MapGreys(255, 5000, 0)},
      {"large map in two halves", MapGreys(257, 17000, 6)},
      {"zoomed greys", Zoomed(MapGreys(97, 600, 4), 3, Palette::Grey)},
      {"zoomed colours", Zoomed(MapGreys(97, 600, 4), 2, Palette::Viridis)},
      {"colours", Zoomed(MapGreys(61, 300, 2), 1, Palette::Magma)},
      {"alpha", alpha},
      {"opaque 32-bit", RandomImage(9, 5, QImage::Format_RGB32)},
  };
}

std::string Written(const TempFolder& folder, const Case& c) {
  const std::string path = (folder.Path() / (std::string(c.name) + ".png")).string();
  WritePng(c.image, path);
  return path;
}

// The pixels as the file stores them: tightly packed rows of 1, 3 or 4 bytes a pixel.
std::string PackedPixels(const QImage& image, int& channels) {
  QImage packed = image;
  if (image.format() == QImage::Format_Grayscale8) {
    channels = 1;
  } else if (image.hasAlphaChannel()) {
    packed = image.convertToFormat(QImage::Format_RGBA8888);
    channels = 4;
  } else {
    packed = image.convertToFormat(QImage::Format_RGB888);
    channels = 3;
  }
  std::string bytes;
  for (int y = 0; y < packed.height(); ++y) {
    bytes.append(reinterpret_cast<const char*>(packed.constScanLine(y)),
                 static_cast<std::size_t>(packed.width() * channels));
  }
  return bytes;
}

std::int64_t QtPngSize(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes.size();
}

TEST(PngWriterTest, QtReadsEveryImageBackPixelForPixel) {
  const TempFolder folder;
  for (const Case& c : Cases()) {
    const QImage back(QString::fromStdString(Written(folder, c)));
    ASSERT_FALSE(back.isNull()) << c.name;
    EXPECT_EQ(back.convertToFormat(c.image.format()), c.image) << c.name;
  }
}

TEST(PngWriterTest, AnIndependentDecoderReadsTheSamePixels) {
  if (std::system("python3 -c 'import zlib' 2>/dev/null") != 0) GTEST_SKIP() << "no python3";
  const TempFolder folder;
  for (const Case& c : Cases()) {
    // A decoder in Python is slow: of the large maps only the one in two halves.
    const std::string name = c.name;
    if ((name.starts_with("large") && !name.ends_with("halves")) || name.starts_with("zoomed")) {
      continue;
    }
    int channels = 0;
    const std::string raw =
        folder.Write(std::string(c.name) + ".raw", PackedPixels(c.image, channels));
    const std::string command = std::string("python3 '") + VEXAL_PNG_DECODER + "' '" +
                                Written(folder, c) + "' '" + raw + "' " +
                                std::to_string(c.image.width()) + " " +
                                std::to_string(c.image.height()) + " " + std::to_string(channels);
    EXPECT_EQ(std::system(command.c_str()), 0) << c.name;
  }
}

TEST(PngWriterTest, FilesAreAtMostAQuarterLargerThanQtsOwn) {
  const TempFolder folder;
  const std::vector<Case> maps = {
      {"noisy map", MapGreys(256, 6000, 5)},
      {"flat map", MapGreys(256, 6000, 0)},
      {"zoomed greys", Zoomed(MapGreys(128, 1500, 5), 3, Palette::Grey)},
      {"zoomed colours", Zoomed(MapGreys(128, 1500, 5), 2, Palette::Cividis)},
      {"small colours", Zoomed(MapGreys(40, 200, 2), 4, Palette::Inferno)},
      {"medium map", MapGreys(1024, 400, 1)},  // by the medium level and a sample of a few rows
      {"medium colours", Zoomed(MapGreys(200, 400, 1), 2, Palette::Viridis)},
  };
  for (const Case& c : maps) {
    const auto ours = static_cast<double>(fs::file_size(Written(folder, c)));
    EXPECT_LE(ours, 1.25 * static_cast<double>(QtPngSize(c.image))) << c.name;
  }
}

TEST(PngWriterTest, FailuresAreReportedWithTheirCause) {
  const QImage image = MapGreys(300, 4000, 8);
  const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
  ASSERT_GE(full, 0);
  try {
    WritePng(image, full);
    ADD_FAILURE() << "a full device took the PNG";
  } catch (const std::runtime_error& e) {
    EXPECT_THAT(e.what(), HasSubstr("No space left on device"));
  }
  ::close(full);

  EXPECT_THROW(WritePng(image, std::string("/dev/full")), std::runtime_error);
  EXPECT_TRUE(fs::exists("/dev/full"));  // a device is not removed like a partial file

  const TempFolder folder;
  const std::string missing = (folder.Path() / "no" / "map.png").string();
  EXPECT_THROW(WritePng(image, missing), std::runtime_error);
  // A failure after the first part of the data, while the second half is being compressed.
  struct rlimit limit {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
  const rlimit small{200000, limit.rlim_max};
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const std::string limited = (folder.Path() / "limited.png").string();
  try {
    WritePng(MapGreys(300, 16000, 30), limited);
    ADD_FAILURE() << "a write beyond the file size limit succeeded";
  } catch (const std::runtime_error& e) {
    EXPECT_THAT(e.what(), HasSubstr("File too large"));
  }
  ::setrlimit(RLIMIT_FSIZE, &limit);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_THROW(WritePng(image, -1), std::runtime_error);
  EXPECT_THROW(WritePng(QImage(), (folder.Path() / "null.png").string()), std::runtime_error);
  EXPECT_TRUE(fs::is_empty(folder.Path()));
}

}  // namespace

// Qt images through the map's PNG writer, which takes plain pixels.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "png_writer.h"

namespace {

[[noreturn]] void Fail(const std::string& cause) {
  throw std::runtime_error(cause);
}

PngPixels PixelsOf(const QImage& image, PngColour colour) {
  return {image.constBits(), image.bytesPerLine(), image.width(), image.height(), colour};
}

}  // namespace

void WritePng(const QImage& source, int fd) {
  if (source.isNull()) Fail("there is no image to write");
  switch (source.format()) {
    case QImage::Format_Grayscale8:
      return WritePng(PixelsOf(source, PngColour::Grey), fd);
    case QImage::Format_RGB888:
      return WritePng(PixelsOf(source, PngColour::Rgb), fd);
    case QImage::Format_RGBA8888:
      return WritePng(PixelsOf(source, PngColour::Rgba), fd);
    default:
      break;
  }
  const bool alpha = source.hasAlphaChannel();
  const QImage converted =
      source.convertToFormat(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
  if (converted.isNull()) Fail("there is not enough memory to convert the image");
  WritePng(PixelsOf(converted, alpha ? PngColour::Rgba : PngColour::Rgb), fd);
}

void WritePng(const QImage& image, const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) Fail(std::strerror(errno));
  // Only a regular file is removed after a failure: a device such as /dev/full stays.
  struct stat info {};
  const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  try {
    WritePng(image, fd);
  } catch (...) {
    ::close(fd);
    if (regular) ::unlink(path.c_str());
    throw;
  }
  if (::close(fd) != 0) {
    const int error = errno;
    if (regular) ::unlink(path.c_str());
    Fail(std::strerror(error));
  }
}

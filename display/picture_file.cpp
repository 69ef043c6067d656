#include "picture_file.h"

#include <QFile>
#include <QImageWriter>
#include <stdexcept>

#include "png_writer.h"

void WritePicture(const QImage& image, const std::string& format, int fd) {
  if (format == "png") return WritePng(image, fd);
  // Unbuffered, every write reaches the descriptor at once and its failure is seen here, not
  // lost in a flush on close. Writers that seek (TIFF) can, on a file.
  QFile file;
  if (!file.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle)) {
    throw std::runtime_error(file.errorString().toStdString());
  }
  QImageWriter writer(&file, QByteArray::fromStdString(format));
  const bool written = writer.write(image);
  if (file.error() != QFileDevice::NoError)
    throw std::runtime_error(file.errorString().toStdString());
  if (!written) {
    throw std::runtime_error("the " + format +
                             " image writer failed: " + writer.errorString().toStdString());
  }
}

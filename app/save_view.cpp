#include "save_view.h"

#include <QImageWriter>

#include "file_names.h"
#include "output_files.h"
#include "picture_file.h"

namespace {

// The format that the name's extension asks for; PNG without one. Empty when Qt cannot write it.
QByteArray FormatFor(const QString& fileName) {
  const qsizetype dot = fileName.lastIndexOf(u'.');
  const qsizetype slash = fileName.lastIndexOf(u'/');
  if (dot <= slash + 1) return "png";
  const QByteArray extension = fileName.mid(dot + 1).toLower().toLatin1();
  return QImageWriter::supportedImageFormats().contains(extension) ? extension : QByteArray();
}

}  // namespace

std::vector<std::string> SaveViewFilters() {
  return {"PNG image (*.png)", "JPEG image (*.jpg *.jpeg)", "BMP image (*.bmp)", "All files (*)"};
}

std::optional<std::string> SaveView(const QImage& view, const std::string& path) {
  const QString name = FileNameText(path);
  const std::string cannot = "Cannot save " + name.toStdString() + ": ";
  const QByteArray format = FormatFor(name);
  if (format.isEmpty()) {
    QStringList known;
    for (const QByteArray& f : QImageWriter::supportedImageFormats()) known << QString(f);
    return cannot + "pictures cannot be written in the format its name asks for (" +
           known.join(", ").toStdString() + " can).";
  }
  if (view.isNull()) return cannot + "there is no map to save.";
  return SaveOutput(path,
                    [&](int fd, std::ostream&) { WritePicture(view, format.toStdString(), fd); });
}

std::optional<std::string> SaveOutput(const std::string& path,
                                      const std::function<void(int, std::ostream&)>& write) {
  const std::string cannot = "Cannot save " + FileNameText(path).toStdString() + ": ";
  try {
    OutputFiles files;
    files.Write(path, write);
    files.Commit();
  } catch (const OutputError& e) {
    return cannot + e.Cause() + ".";
  } catch (const std::exception& e) {
    return cannot + e.what() + ".";
  }
  return std::nullopt;
}

#include "save_view.h"

#include <QImageWriter>
#include <QSaveFile>

#include <stdexcept>

#include "file_names.h"
#include "png_writer.h"

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
  QSaveFile file(name);
  if (format == "png") {  // through the writer made for maps, the renderer's
    if (!file.open(QIODevice::WriteOnly)) return cannot + file.errorString().toStdString() + ".";
    try {
      WritePng(view, file.handle());
    } catch (const std::runtime_error& e) {
      file.cancelWriting();
      return cannot + e.what() + ".";
    }
    if (!file.commit()) return cannot + file.errorString().toStdString() + ".";
    return std::nullopt;
  }
  QImageWriter writer(&file, format);
  if (!file.open(QIODevice::WriteOnly) || !writer.write(view) || !file.commit()) {
    const QString cause =
        writer.error() != QImageWriter::UnknownError ? writer.errorString() : file.errorString();
    return cannot + cause.toStdString() + ".";
  }
  return std::nullopt;
}

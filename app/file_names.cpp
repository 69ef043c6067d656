#include "file_names.h"

#include <QFile>
#include <QLineEdit>
#include <QUrl>

QString FileNameText(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string FileNamePath(const QString& text) {
  return QFile::encodeName(text).toStdString();
}

std::optional<std::string> LocalFilePath(const QUrl& url) {
  if (!url.isLocalFile()) return std::nullopt;
  const QByteArray encoded = url.path(QUrl::FullyEncoded).toLatin1();
  return QByteArray::fromPercentEncoding(encoded).toStdString();
}

void FileNameField::Show(const std::string& path) {
  shownPath_ = path;
  edit_.setText(FileNameText(path));
  shownText_ = edit_.text();
}

std::string FileNameField::Path() const {
  return edit_.text() == shownText_ ? shownPath_ : FileNamePath(edit_.text());
}

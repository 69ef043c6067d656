#include "file_names.h"

#include <QFile>
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

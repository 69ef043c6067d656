#include "dropped_file.h"

#include <sys/stat.h>

#include <QMimeData>
#include <QUrl>

#include "file_names.h"

std::optional<std::string> DroppedFile(const QMimeData& data) {
  if (!data.hasUrls()) return std::nullopt;
  const QList<QUrl> urls = data.urls();
  if (urls.size() != 1) return std::nullopt;
  const std::optional<std::string> path = LocalFilePath(urls.front());
  struct stat info {};
  if (!path || ::stat(path->c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return path;
}

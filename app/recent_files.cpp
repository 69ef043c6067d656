#include "recent_files.h"

#include <QSettings>
#include <algorithm>
#include <filesystem>

#include "file_names.h"

namespace {

constexpr const char* kFilesKey = "recent/files";
constexpr const char* kFolderKey = "recent/folder";

QByteArray Bytes(const std::string& text) {
  return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

std::vector<std::string> RecentFiles() {
  std::vector<std::string> files;
  for (const QVariant& value : QSettings().value(kFilesKey).toList()) {
    const QByteArray path = value.toByteArray();
    if (!path.isEmpty())
      files.emplace_back(path.constData(), static_cast<std::size_t>(path.size()));
    if (static_cast<int>(files.size()) == kMaxRecentFiles) break;
  }
  return files;
}

void AddRecentFile(const std::string& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error).lexically_normal();
  if (error || absolute.empty()) return;
  const std::string added = absolute.string();
  std::vector<std::string> files = RecentFiles();
  files.erase(std::remove(files.begin(), files.end(), added), files.end());
  files.insert(files.begin(), added);
  if (static_cast<int>(files.size()) > kMaxRecentFiles) files.resize(kMaxRecentFiles);
  QVariantList stored;
  for (const std::string& file : files) stored.push_back(Bytes(file));
  QSettings settings;
  settings.setValue(kFilesKey, stored);
  settings.setValue(kFolderKey, Bytes(absolute.parent_path().string()));
}

std::string LastOpenedFolder() {
  const QByteArray folder = QSettings().value(kFolderKey).toByteArray();
  return {folder.constData(), static_cast<std::size_t>(folder.size())};
}

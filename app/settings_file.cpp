#include "settings_file.h"

#include <sys/stat.h>

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>

namespace {

QString KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a regular file";
}

}  // namespace

std::optional<QString> SettingsFileRefusal(const QString& path) {
  const QByteArray name = QFile::encodeName(path);
  struct stat info {};
  if (::stat(name.constData(), &info) == 0) {
    if (S_ISREG(info.st_mode)) return std::nullopt;
    return QStringLiteral("is ") + KindOf(info.st_mode);
  }
  // Missing (a dangling link included): Qt makes a regular file when it saves. A folder on the
  // way that cannot be searched leaves nothing to check here either.
  if (::lstat(name.constData(), &info) != 0 || S_ISLNK(info.st_mode)) return std::nullopt;
  return QStringLiteral("cannot be checked");
}

QStringList SettingsFiles() {
  const QString organization = QCoreApplication::organizationName();
  const QString application = QCoreApplication::applicationName();
  QStringList folders = QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
  const QString user = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  folders.removeAll(user);
  folders.prepend(user);
  QStringList files;
  for (const QString& folder : folders) {
    if (folder.isEmpty()) continue;
    if (organization.isEmpty()) {
      files << folder + '/' + application + ".conf";
    } else {
      files << folder + '/' + organization + '/' + application + ".conf";
      files << folder + '/' + organization + ".conf";
    }
  }
  return files;
}

std::unique_ptr<QTemporaryDir> KeepSettingsSafe() {
  for (const QString& file : SettingsFiles()) {
    const std::optional<QString> refusal = SettingsFileRefusal(file);
    if (!refusal) continue;
    auto folder = std::make_unique<QTemporaryDir>();
    if (!folder->isValid()) return nullptr;  // nothing safer to offer; Qt's own path stays
    for (const QSettings::Scope scope : {QSettings::UserScope, QSettings::SystemScope}) {
      QSettings::setPath(QSettings::NativeFormat, scope, folder->path());
      QSettings::setPath(QSettings::IniFormat, scope, folder->path());
    }
    std::fprintf(stderr,
                 "mlsvexal: the settings file %s %s; choices made now last for this session "
                 "only\n",
                 QFile::encodeName(file).constData(), refusal->toUtf8().constData());
    return folder;
  }
  return nullptr;
}

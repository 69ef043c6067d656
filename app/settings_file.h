#pragma once
// The viewer's remembered choices (QSettings) are read and written only through regular files. A
// FIFO, a device, a folder or a link to one where a settings file belongs is left alone: opening
// it could block or write into it. The choices then last for the session only.

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QTemporaryDir;

// Why path cannot hold settings ("is a FIFO", "is a folder", ...); nullopt for a regular file, a
// link to one, or a missing file. Never opens path.
std::optional<QString> SettingsFileRefusal(const QString& path);

// The files QSettings reads for the application's organization and name: the user's, then the
// system's, the application's own before the organization's.
QStringList SettingsFiles();

// Checks SettingsFiles(); when one cannot hold settings, says why in one line on stderr and moves
// the settings into a temporary folder, removed when the returned folder is destroyed. nullptr
// when every file is fine.
std::unique_ptr<QTemporaryDir> KeepSettingsSafe();

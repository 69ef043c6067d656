#pragma once
// Which drops the window takes: exactly one local file.

#include <optional>
#include <string>

class QMimeData;

// The path of the one local file that data carries; nullopt for anything else (several URLs,
// a URL that is not a local file, a folder, a missing file, text).
std::optional<std::string> DroppedFile(const QMimeData& data);

#pragma once
// The files opened lately, newest first, and the folder of the last one, where the open dialog
// starts. Remembered between runs (QSettings); paths keep their bytes.

#include <functional>
#include <string>
#include <vector>

class QMenu;

inline constexpr int kMaxRecentFiles = 10;

std::vector<std::string> RecentFiles();
// Puts path first (as an absolute path), once, keeping at most kMaxRecentFiles.
void AddRecentFile(const std::string& path);
// The folder of the file opened last; empty before any.
std::string LastOpenedFolder();

// Adds the "Recent files" submenu to menu: each file opens through open.
void AddRecentFilesMenu(QMenu& menu, bool enabled,
                        const std::function<void(const std::string&)>& open);

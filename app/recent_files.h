#pragma once
// The files opened lately, newest first, and the folder of the last one, where the open dialog
// starts. Remembered between runs (QSettings); paths keep their bytes.

#include <string>
#include <vector>

inline constexpr int kMaxRecentFiles = 10;

std::vector<std::string> RecentFiles();
// Puts path first (as an absolute path), once, keeping at most kMaxRecentFiles.
void AddRecentFile(const std::string& path);
// The folder of the file opened last; empty before any.
std::string LastOpenedFolder();

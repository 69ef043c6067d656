#pragma once
// A file's size and modification time, to tell whether it changed between two reads.

#include <cstdint>
#include <optional>
#include <string>

struct FileStamp {
  std::uint64_t size = 0;
  std::int64_t modifiedNs = 0;  // since the epoch
  bool operator==(const FileStamp&) const = default;
};

// nullopt when the file cannot be found.
std::optional<FileStamp> StampOf(const std::string& fileName);

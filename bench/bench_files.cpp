#include "bench_files.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

std::string BenchFile(const std::string& name, std::uint64_t expectedSize,
                      const std::function<void(const std::string& path)>& write) {
  const fs::path folder = "/tmp/vexal_bench";
  fs::create_directories(folder);
  const fs::path file = folder / name;
  std::error_code error;
  if (fs::file_size(file, error) != expectedSize || error) write(file.string());
  return file.string();
}

std::uint64_t PeakResidentBytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stoull(line.substr(6)) * 1024;
  }
  return 0;
}

void ResetPeakResident() {
  std::ofstream("/proc/self/clear_refs") << "5";
}

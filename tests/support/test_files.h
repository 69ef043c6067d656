#pragma once
// Test inputs: files written into a fresh temporary folder whose name holds a ".".

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  // Writes bytes to name inside the folder and returns the full path.
  std::string Write(const std::string& name, std::string_view bytes) const;
  std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const;

 private:
  std::filesystem::path path_;
};

// Little-endian byte builders.
void AppendInt16(std::vector<std::uint8_t>& out, std::int16_t value);
void AppendInt32(std::vector<std::uint8_t>& out, std::int32_t value);
void AppendFloat32(std::vector<std::uint8_t>& out, float value);
void AppendText(std::vector<std::uint8_t>& out, std::string_view text);

// Opens the FIFO at path for reading at once (without waiting for a writer) and reads what
// writers send until one has written and closed it; gives up after timeout and returns what came
// by then, so that a writer that never comes fails a test instead of hanging it.
std::string ReadFifoUntilClosed(const std::string& path, int timeoutSeconds = 20);

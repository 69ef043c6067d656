#include "test_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace fs = std::filesystem;

TempFolder::TempFolder() {
  // The "." in the folder's name makes every test's load prove that only the file's own name
  // chooses the reader.
  std::string pattern = "/tmp/vexal.test-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

std::string TempFolder::Write(const std::string& name, std::string_view bytes) const {
  const fs::path file = path_ / name;
  std::ofstream out(file, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + file.string());
  return file.string();
}

std::string TempFolder::Write(const std::string& name,
                              const std::vector<std::uint8_t>& bytes) const {
  return Write(name, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void AppendInt16(std::vector<std::uint8_t>& out, std::int16_t value) {
  const auto u = static_cast<std::uint16_t>(value);
  out.push_back(static_cast<std::uint8_t>(u));
  out.push_back(static_cast<std::uint8_t>(u >> 8));
}

void AppendInt32(std::vector<std::uint8_t>& out, std::int32_t value) {
  const auto u = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(u >> (8 * i)));
}

void AppendFloat32(std::vector<std::uint8_t>& out, float value) {
  AppendInt32(out, std::bit_cast<std::int32_t>(value));
}

void AppendText(std::vector<std::uint8_t>& out, std::string_view text) {
  out.insert(out.end(), text.begin(), text.end());
}

std::string ReadFifoUntilClosed(const std::string& path, int timeoutSeconds) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return {};
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  std::string bytes;
  char buffer[65536];
  while (std::chrono::steady_clock::now() < deadline) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n > 0) {
      bytes.append(buffer, static_cast<std::size_t>(n));
    } else if (n == 0 && !bytes.empty()) {
      break;  // the writer has closed it
    } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
      break;
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));  // no writer yet, or no data
    }
  }
  ::close(fd);
  return bytes;
}

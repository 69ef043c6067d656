#pragma once
// Read-only access to a measurement file. Opening never creates anything: a name that names no
// file, or a file that cannot be read, is a LoadError with the cause in plain words.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>

class InputFile {
 public:
  explicit InputFile(const std::string& fileName);
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  std::uint64_t Size() const { return size_; }

  // Reads up to count bytes at offset; returns how many were read, fewer only past the size
  // measured at opening. A read error, or a file cut shorter than that size, is a LoadError.
  std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t count) const;

  // Advice that the file will be read once from start to end.
  void AdviseSequential() const;

 private:
  int fd_ = -1;
  std::uint64_t size_ = 0;
};

// Little-endian decoding of fixed-width fields; inline, since the readers' hot loops decode
// every sample.
inline std::int32_t ReadInt32LE(const unsigned char* b) {
  const std::uint32_t u = std::uint32_t{b[0]} | std::uint32_t{b[1]} << 8 |
                          std::uint32_t{b[2]} << 16 | std::uint32_t{b[3]} << 24;
  return static_cast<std::int32_t>(u);
}

inline std::int16_t ReadInt16LE(const unsigned char* b) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(b[0] | b[1] << 8));
}

inline float ReadFloat32LE(const unsigned char* b) {
  return std::bit_cast<float>(static_cast<std::uint32_t>(ReadInt32LE(b)));
}

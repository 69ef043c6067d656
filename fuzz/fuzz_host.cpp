#include "fuzz_host.h"

#include <unistd.h>

#include <cstdio>
#include <stdexcept>

std::string WriteScratchFile(const std::uint8_t* data, std::size_t size,
                             const std::string& extension) {
  const std::string path = "/tmp/vexal_fuzz_" + std::to_string(::getpid()) + extension;
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) throw std::runtime_error("cannot write " + path);
  if (size > 0) std::fwrite(data, 1, size, out);
  std::fclose(out);
  return path;
}

#include "input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

#include "load_error.h"

namespace {
constexpr const char* kNotRegular = "it is not a regular file";

std::string Cause(int error) {
  switch (error) {
    case ENOENT:
      return "the file does not exist";
    case EACCES:
      return "permission to read the file is denied";
    case EISDIR:
      return "it is a folder, not a file";
    case ENXIO:  // a socket, or a device file without its device
      return kNotRegular;
    default:
      return std::string("the file cannot be read (") + std::strerror(error) + ")";
  }
}

// Why the open file cannot be read as a measurement, or nothing for a regular file, which is
// then put back into blocking mode and its size stored.
std::optional<std::string> RefuseUnlessRegular(int fd, std::uint64_t& size) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return Cause(errno);
  if (S_ISDIR(info.st_mode)) return Cause(EISDIR);
  if (!S_ISREG(info.st_mode)) return kNotRegular;
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) return Cause(errno);
  size = static_cast<std::uint64_t>(info.st_size);
  return std::nullopt;
}
}  // namespace

InputFile::InputFile(const std::string& fileName) {
  if (fileName.empty()) throw LoadError("no file name was given");
  // Without O_NONBLOCK, opening a FIFO waits for a writer before its type can be checked.
  fd_ = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd_ < 0) throw LoadError(Cause(errno));
  if (const auto refusal = RefuseUnlessRegular(fd_, size_)) {
    ::close(fd_);
    throw LoadError(*refusal);
  }
}

InputFile::~InputFile() {
  if (fd_ >= 0) ::close(fd_);
}

std::size_t InputFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t count) const {
  // The file is what it was when opened: bytes past that size read as the end of the file, and
  // bytes below it that the system no longer delivers mean the file was cut while being read.
  const std::uint64_t available = offset < size_ ? size_ - offset : 0;
  const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(count, available));
  auto* out = static_cast<unsigned char*>(buffer);
  std::size_t done = 0;
  while (done < wanted) {
    const ssize_t n = ::pread(fd_, out + done, wanted - done, static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      throw LoadError(Cause(errno));
    }
    if (n == 0) throw LoadError("it became shorter while it was read");
    done += static_cast<std::size_t>(n);
  }
  return done;
}

void InputFile::AdviseSequential() const {
  ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
}

#include "output_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <streambuf>

#include "shown_name.h"

namespace fs = std::filesystem;

namespace {

std::runtime_error CannotWrite(const std::string& target, int error) {
  return std::runtime_error("cannot write " + ShownName(target) + ": " + std::strerror(error));
}

// A write-only stream buffer on a descriptor; a failed write sets the stream's badbit.
class DescriptorBuffer : public std::streambuf {
 public:
  // The buffer is left uninitialised: clearing a megabyte for every output, however small, is
  // wasted work.
  explicit DescriptorBuffer(int fd)
      : fd_(fd), buffer_(std::make_unique_for_overwrite<char[]>(kSize)) {
    setp(buffer_.get(), buffer_.get() + kSize);
  }
  int Error() const { return error_; }

 protected:
  int_type overflow(int_type c) override {
    if (sync() != 0) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }
  int sync() override {
    const char* data = pbase();
    std::size_t left = static_cast<std::size_t>(pptr() - pbase());
    while (left > 0) {
      const ssize_t n = ::write(fd_, data, left);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        error_ = n < 0 ? errno : EIO;
        return -1;
      }
      data += n;
      left -= static_cast<std::size_t>(n);
    }
    setp(buffer_.get(), buffer_.get() + kSize);
    return 0;
  }

 private:
  static constexpr std::size_t kSize = 1 << 20;
  int fd_;
  int error_ = 0;
  std::unique_ptr<char[]> buffer_;
};

// The permissions a newly created file gets (mkstemp makes temporaries private).
mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

OutputFiles::~OutputFiles() {
  RemoveTemporaries();
}

void OutputFiles::RemoveTemporaries() {
  for (const Pending& p : pending_) ::unlink(p.temporary.c_str());
  pending_.clear();
}

void OutputFiles::Write(const std::string& target,
                        const std::function<void(int, std::ostream&)>& write) {
  const fs::path folder = fs::path(target).parent_path();
  // A short fixed name: a target whose name is near the system's limit still has a temporary.
  std::string temporary = ((folder.empty() ? fs::path(".") : folder) / ".mlsvexal-XXXXXX").string();
  const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) throw CannotWrite(target, errno);
  pending_.push_back({target, temporary});

  DescriptorBuffer buffer(fd);
  std::ostream stream(&buffer);
  int error = 0;
  try {
    write(fd, stream);
    stream.flush();
    if (!stream) error = buffer.Error() != 0 ? buffer.Error() : EIO;
    if (error == 0 && ::fchmod(fd, NewFileMode()) != 0) error = errno;
  } catch (const std::exception& e) {
    ::close(fd);
    throw std::runtime_error("cannot write " + ShownName(target) + ": " + e.what());
  }
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error != 0) throw CannotWrite(target, error);
}

void OutputFiles::Commit() {
  for (std::size_t i = 0; i < pending_.size(); ++i) {
    if (::rename(pending_[i].temporary.c_str(), pending_[i].target.c_str()) != 0) {
      const int error = errno;
      const std::string target = pending_[i].target;
      pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(i));
      throw CannotWrite(target, error);
    }
  }
  pending_.clear();
}

void CheckOutputTargets(const std::vector<std::string>& outputs,
                        const std::vector<std::string>& inputs) {
  struct stat out {};
  struct stat other {};
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    const std::string& output = outputs[i];
    std::error_code ignored;
    const fs::path spelled = fs::weakly_canonical(output, ignored);
    for (std::size_t j = 0; j < i; ++j) {
      if (fs::weakly_canonical(outputs[j], ignored) == spelled) {
        throw std::runtime_error("two outputs name the same file " + ShownName(output));
      }
    }
    if (::stat(output.c_str(), &out) != 0) continue;  // a new file cannot be an input
    if (S_ISDIR(out.st_mode))
      throw std::runtime_error("cannot write " + ShownName(output) + ": it is a folder");
    for (const std::string& input : inputs) {
      if (::stat(input.c_str(), &other) == 0 && other.st_dev == out.st_dev &&
          other.st_ino == out.st_ino) {
        throw std::runtime_error("cannot write " + ShownName(output) + ": it is the input file " +
                                 ShownName(input));
      }
    }
    for (std::size_t j = 0; j < i; ++j) {
      if (::stat(outputs[j].c_str(), &other) == 0 && other.st_dev == out.st_dev &&
          other.st_ino == out.st_ino) {
        throw std::runtime_error("two outputs name the same file " + ShownName(output));
      }
    }
  }
}

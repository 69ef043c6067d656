#include "output_files.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <random>
#include <streambuf>

#include "removal_list.h"
#include "shown_name.h"

namespace fs = std::filesystem;

namespace {

OutputError SystemError(const std::string& target, int error) {
  return OutputError(target, std::strerror(error));
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

// Writes through fd with write; the error number of the first failure, 0 when all went out.
int WriteThrough(int fd, const std::string& target,
                 const std::function<void(int, std::ostream&)>& write) {
  DescriptorBuffer buffer(fd);
  std::ostream stream(&buffer);
  try {
    write(fd, stream);
  } catch (const std::exception& e) {
    throw OutputError(target, e.what());
  }
  stream.flush();
  if (!stream) return buffer.Error() != 0 ? buffer.Error() : EIO;
  return 0;
}

// The name that path leads to through any chain of symbolic links: the first that is not a link
// (or does not exist). Throws ELOOP's error for a chain that does not end.
std::string FollowLinks(const std::string& target) {
  fs::path path = target;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path.string();
    std::error_code error;
    const fs::path next = fs::read_symlink(path, error);
    if (error) throw OutputError(target, error.message());
    path = next.is_absolute() ? next : fs::weakly_canonical(path.parent_path()) / next;
  }
  throw SystemError(target, ELOOP);
}

// Where target's bytes go: a stream written in place, or the file that a temporary replaces.
struct Destination {
  int fd = -1;  // in place
  bool ownsFd = false;
  std::string file;  // replaced
  mode_t mode = 0;   // of the replacement
};

Destination DestinationOf(const std::string& target) {
  Destination destination;
  if (target == "-") {
    destination.fd = STDOUT_FILENO;
    return destination;
  }
  struct stat info {};
  if (::stat(target.c_str(), &info) != 0) {
    if (errno != ENOENT) throw SystemError(target, errno);
    destination.file = FollowLinks(target);  // a new name, or a link to one
    destination.mode = NewFileMode();
    return destination;
  }
  if (S_ISDIR(info.st_mode)) throw OutputError(target, "it is a folder");
  if (S_ISBLK(info.st_mode)) throw OutputError(target, "it is a block device");
  int flags = O_WRONLY | O_CLOEXEC | O_NOCTTY;
  if (S_ISREG(info.st_mode)) {
    destination.file = FollowLinks(target);
    struct stat file {};
    if (::lstat(destination.file.c_str(), &file) == 0 && file.st_dev == info.st_dev &&
        file.st_ino == info.st_ino) {
      destination.mode = info.st_mode & 0777;
      return destination;
    }
    // Reached only through a link whose text leads elsewhere (a /proc/self/fd entry of a file
    // deleted or out of reach): the file cannot be replaced, so it is rewritten where it is.
    destination.file.clear();
    flags |= O_TRUNC;
  }
  // A character device, a FIFO or a socket: written where it is, as any stream.
  destination.fd = ::open(target.c_str(), flags);
  if (destination.fd < 0) throw SystemError(target, errno);
  destination.ownsFd = true;
  return destination;
}

fs::path FolderOf(const std::string& file) {
  const fs::path folder = fs::path(file).parent_path();
  return folder.empty() ? fs::path(".") : folder;
}

// Refuses a name the folder cannot hold, before any output is written.
void CheckName(const std::string& target, const std::string& file) {
  const fs::path folder = FolderOf(file);
  const long nameMax = ::pathconf(folder.c_str(), _PC_NAME_MAX);
  const std::size_t nameLength = fs::path(file).filename().native().size();
  if (file.size() >= PATH_MAX || (nameMax > 0 && nameLength > static_cast<std::size_t>(nameMax))) {
    throw SystemError(target, ENAMETOOLONG);
  }
}

// A second name for file, beside it, that keeps its contents while it is replaced; empty when the
// file system cannot link it.
std::string KeepLink(const std::string& file) {
  static std::mt19937_64 random{std::random_device{}()};
  const std::string prefix = (FolderOf(file) / ".mlsvexal-").string();
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = prefix + std::to_string(random());
    if (::link(file.c_str(), name.c_str()) == 0) return name;
    if (errno != EEXIST) break;
  }
  return {};
}

struct FileIdentity {
  bool exists = false;
  dev_t device = 0;
  ino_t inode = 0;
  mode_t mode = 0;
};

FileIdentity IdentityOf(const struct stat& info) {
  return {true, info.st_dev, info.st_ino, info.st_mode};
}

FileIdentity StatIdentity(const std::string& output) {
  struct stat info {};
  if (output == "-") return ::fstat(STDOUT_FILENO, &info) == 0 ? IdentityOf(info) : FileIdentity{};
  return ::stat(output.c_str(), &info) == 0 ? IdentityOf(info) : FileIdentity{};
}

bool SameFile(const FileIdentity& a, const FileIdentity& b) {
  return a.exists && b.exists && a.device == b.device && a.inode == b.inode;
}

// The names under which two spellings of one output compare equal: the absolute name with "."
// and ".." resolved by text, and the same with links and existing folders resolved.
std::pair<std::string, std::string> SpellingsOf(const std::string& output) {
  if (output == "-") return {"-", "-"};
  std::error_code error;
  const fs::path absolute = fs::absolute(output, error).lexically_normal();
  fs::path resolved = absolute;
  try {
    resolved = fs::weakly_canonical(fs::absolute(FollowLinks(output)), error);
    if (error) resolved = absolute;
  } catch (const OutputError&) {
  }
  return {absolute.string(), resolved.lexically_normal().string()};
}

}  // namespace

OutputError::OutputError(const std::string& target, const std::string& cause)
    : std::runtime_error("cannot write " + ShownName(target) + ": " + cause), cause_(cause) {}

OutputFiles::~OutputFiles() {
  RemoveTemporaries();
}

void OutputFiles::RemoveTemporaries() {
  for (const Pending& p : pending_) {
    if (!p.temporary.empty()) ::unlink(p.temporary.c_str());
    Unlist(p.slot);
  }
  pending_.clear();
}

void OutputFiles::Write(const std::string& target,
                        const std::function<void(int, std::ostream&)>& write) {
  Destination destination = DestinationOf(target);
  if (destination.fd >= 0) {
    int error = WriteThrough(destination.fd, target, write);
    if (destination.ownsFd && ::close(destination.fd) != 0 && error == 0) error = errno;
    if (error != 0) throw SystemError(target, error);
    return;
  }

  CheckName(target, destination.file);
  // A short fixed name: a target whose name is near the system's limit still has a temporary.
  std::string temporary = (FolderOf(destination.file) / ".mlsvexal-XXXXXX").string();
  const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) throw SystemError(target, errno);
  pending_.push_back({target, destination.file, temporary, ListForRemoval(temporary)});
  int error = 0;
  try {
    error = WriteThrough(fd, target, write);
  } catch (...) {
    ::close(fd);
    throw;
  }
  if (error == 0 && ::fchmod(fd, destination.mode) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error != 0) throw SystemError(target, error);
}

void OutputFiles::Commit() {
  struct Kept {
    std::string link;  // the old file's second name; empty for a new file or when not linked
    int slot = -1;
    bool existed = false;
  };
  std::vector<Kept> kept;
  const auto dropKept = [&kept] {
    for (const Kept& k : kept) {
      if (!k.link.empty()) ::unlink(k.link.c_str());
      Unlist(k.slot);
    }
  };
  for (Pending& p : pending_) {
    Kept k;
    struct stat info {};
    k.existed = ::lstat(p.file.c_str(), &info) == 0;
    if (k.existed) k.link = KeepLink(p.file);
    if (!k.link.empty()) k.slot = ListForRemoval(k.link);
    if (::rename(p.temporary.c_str(), p.file.c_str()) != 0) {
      const int error = errno;
      // Undo the renames done, last first: each old file back, or the new one gone.
      for (std::size_t j = kept.size(); j-- > 0;) {
        const std::string& file = pending_[j].file;
        if (!kept[j].link.empty()) {
          if (::rename(kept[j].link.c_str(), file.c_str()) == 0) kept[j].link.clear();
        } else if (!kept[j].existed) {
          ::unlink(file.c_str());
        }
      }
      kept.push_back(k);
      dropKept();
      const std::string target = p.target;
      RemoveTemporaries();
      throw SystemError(target, error);
    }
    p.temporary.clear();
    kept.push_back(k);
  }
  dropKept();
  RemoveTemporaries();
}

void CheckOutputTargets(const std::vector<std::string>& outputs,
                        const std::vector<std::string>& inputs) {
  std::vector<std::pair<std::string, std::string>> spellings;
  std::vector<FileIdentity> identities;
  for (const std::string& output : outputs) {
    spellings.push_back(SpellingsOf(output));
    identities.push_back(StatIdentity(output));
    const FileIdentity& out = identities.back();
    const auto& [absolute, resolved] = spellings.back();
    for (std::size_t j = 0; j + 1 < spellings.size(); ++j) {
      if (spellings[j].first == absolute || spellings[j].second == resolved ||
          SameFile(identities[j], out)) {
        const bool stream = out.exists && !S_ISREG(out.mode);
        throw std::runtime_error(stream ? "two outputs would share the stream " + ShownName(output)
                                        : "two outputs name the same file " + ShownName(output));
      }
    }
    if (!out.exists || output == "-") continue;  // a new file cannot be an input
    if (S_ISDIR(out.mode))
      throw std::runtime_error("cannot write " + ShownName(output) + ": it is a folder");
    if (S_ISBLK(out.mode))
      throw std::runtime_error("cannot write " + ShownName(output) + ": it is a block device");
    if (!S_ISREG(out.mode)) continue;  // a stream written in place destroys no input
    for (const std::string& input : inputs) {
      if (SameFile(StatIdentity(input), out)) {
        throw std::runtime_error("cannot write " + ShownName(output) + ": it is the input file " +
                                 ShownName(input));
      }
    }
  }
}

bool IsStandardOutput(const std::string& output) {
  return output == "-" || SameFile(StatIdentity(output), StatIdentity("-"));
}

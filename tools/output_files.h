#pragma once
// Output files, written all or nothing, shared by the renderer and the window's saves. Each
// output that is a file goes first to a temporary file created exclusively, under a name nobody
// can predict, in the folder of the file it replaces; only when every output is written are the
// temporaries renamed over their targets, and when a rename fails the ones done are undone. On
// any failure, on SIGINT, SIGTERM or SIGHUP, and when the set is destroyed before Commit, every
// temporary is removed.
//
// What a target names decides how it is written:
//  - a regular file or a new name: replaced as above, keeping an existing file's permission bits;
//  - a symbolic link to a regular file (or to a new name): the file it leads to is replaced, and
//    the link stays a link;
//  - a character device, a FIFO or a socket, or a link to one, and "-" (standard output): opened
//    and written in place, since a stream cannot be replaced; so is a file reached only through a
//    link whose text leads elsewhere (a /proc/self/fd entry);
//  - a folder or a block device: refused.

#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

// A failure of one output: the message names the target and the cause; Cause() is the cause alone
// (for the system's failures, its text, such as "No space left on device").
class OutputError : public std::runtime_error {
 public:
  OutputError(const std::string& target, const std::string& cause);
  const std::string& Cause() const { return cause_; }

 private:
  std::string cause_;
};

class OutputFiles {
 public:
  OutputFiles() = default;
  ~OutputFiles();
  OutputFiles(const OutputFiles&) = delete;
  OutputFiles& operator=(const OutputFiles&) = delete;

  // Writes target (a temporary of it, or the stream in place) through write, which gets the open
  // descriptor (for writers that take one) and a buffered stream on it (for the rest); use one
  // or the other. Throws OutputError when the target cannot be written: a name too long, a
  // missing or read-only folder, a failed write.
  void Write(const std::string& target, const std::function<void(int fd, std::ostream&)>& write);
  // Renames every temporary over its target; when one fails, the targets already replaced get
  // their old files back, and OutputError is thrown.
  void Commit();

 private:
  struct Pending {
    std::string target;  // as given, for messages
    std::string file;    // the file that the temporary replaces (a link's target)
    std::string temporary;
    int slot = -1;  // in the list removed on signals
  };
  void RemoveTemporaries();
  std::vector<Pending> pending_;
};

// Refuses, with std::runtime_error, outputs that would destroy an input or each other: an output
// that is the same file as an input (by device and inode, so links and other spellings count),
// two outputs naming one file or one stream (by their absolute, normalised names and by device
// and inode), and an output that is an existing folder.
void CheckOutputTargets(const std::vector<std::string>& outputs,
                        const std::vector<std::string>& inputs);

// Whether output names the program's standard output: "-", or the same file or stream as it.
bool IsStandardOutput(const std::string& output);

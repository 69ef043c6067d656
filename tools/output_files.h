#pragma once
// The renderer's output files, written all or nothing. Each output goes first to a temporary
// file created exclusively, under a name nobody can predict, in the output's own folder; only
// when every output is written are they renamed over their targets. On any failure, and when the
// set is destroyed before Commit, every temporary is removed and no target is touched.

#include <functional>
#include <ostream>
#include <string>
#include <vector>

class OutputFiles {
 public:
  OutputFiles() = default;
  ~OutputFiles();
  OutputFiles(const OutputFiles&) = delete;
  OutputFiles& operator=(const OutputFiles&) = delete;

  // Writes a temporary for target through write, which gets the open descriptor (for writers
  // that take one) and a buffered stream on it (for the rest); use one or the other. Throws
  // std::runtime_error naming target when the temporary cannot be made or written.
  void Write(const std::string& target, const std::function<void(int fd, std::ostream&)>& write);
  // Renames every temporary over its target.
  void Commit();

 private:
  struct Pending {
    std::string target;
    std::string temporary;
  };
  void RemoveTemporaries();
  std::vector<Pending> pending_;
};

// Refuses, with std::runtime_error, outputs that would destroy an input or each other: an output
// that is the same file as an input (by device and inode, so links and other spellings count),
// two outputs naming one file, and an output that is an existing folder.
void CheckOutputTargets(const std::vector<std::string>& outputs,
                        const std::vector<std::string>& inputs);

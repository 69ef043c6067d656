#pragma once
// Large generated inputs for the benchmarks, written once into /tmp/vexal_bench (no "." in the
// path) and reused while they exist with the expected size.

#include <cstdint>
#include <functional>
#include <string>

#include "load_host.h"

// Returns the path of name inside the bench folder, writing it with write(path) first when it is
// missing or its size differs from expectedSize.
std::string BenchFile(const std::string& name, std::uint64_t expectedSize,
                      const std::function<void(const std::string& path)>& write);

// Peak resident memory of this process so far, in bytes (VmHWM).
std::uint64_t PeakResidentBytes();
// Resets the peak to the current resident size so a following step can be measured alone.
void ResetPeakResident();

class SilentHost : public LoadHost {
 public:
  explicit SilentHost(std::string answer = {}) : answer_(std::move(answer)) {}
  void SetBusy(bool) override {}
  void SetProgress(float) override {}
  void Yield() override {}
  std::optional<std::string> AskText(const std::string&, const std::string&,
                                     const std::string&) override {
    return answer_;
  }
  void ShowWarning(const std::string&, const std::string&) override {}

 private:
  std::string answer_;
};

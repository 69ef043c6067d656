#pragma once
// Shared by the fuzz targets: a silent load host and a way to hand the input to a reader as a
// file in a folder without "." in its path.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "load_host.h"

class FuzzHost : public LoadHost {
 public:
  explicit FuzzHost(std::optional<std::string> answer = std::nullopt)
      : answer_(std::move(answer)) {}
  void SetBusy(bool) override {}
  void SetProgress(float) override {}
  void Yield() override {}
  std::optional<std::string> AskText(const std::string&, const std::string&,
                                     const std::string&) override {
    return answer_;
  }
  void ShowWarning(const std::string&, const std::string&) override {}

 private:
  std::optional<std::string> answer_;
};

// Writes data to a per-process scratch file whose name ends in extension (for example ".mls")
// and returns its path.
std::string WriteScratchFile(const std::uint8_t* data, std::size_t size,
                             const std::string& extension);

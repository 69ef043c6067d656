#pragma once
// A host without a window, for batch loads: no progress, no events, every prompt answered with
// one fixed text (nullopt: cancelled), warnings ignored.

#include <optional>
#include <string>
#include <utility>

#include "load_host.h"

class QuietHost : public LoadHost {
 public:
  explicit QuietHost(std::optional<std::string> answer = std::nullopt)
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

#pragma once
// A host without a window, for batch loads: no progress, no events, the period prompt answered
// with one fixed text (nullopt: cancelled).

#include <optional>
#include <string>
#include <utility>

#include "load_host.h"

class QuietHost : public LoadHost {
 public:
  explicit QuietHost(std::optional<std::string> period = std::nullopt)
      : period_(std::move(period)) {}
  void SetLoading(bool) override {}
  void SetProgress(float) override {}
  void Yield() override {}
  std::optional<std::string> AskPeriod(const std::string&, const RecordingFacts&) override {
    return period_;
  }

 private:
  std::optional<std::string> period_;
};

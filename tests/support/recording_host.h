#pragma once
// A load host for tests: records progress values, yields, busy changes, prompts and warnings,
// and answers prompts from a script.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "load_host.h"
#include "view_state.h"

class RecordingHost : public LoadHost {
 public:
  struct Prompt {
    std::string prompt, title, initialText;
  };
  struct Warning {
    std::string text, title;
  };

  void SetBusy(bool busy) override;
  void SetProgress(float percent) override { progress.push_back(percent); }
  void Yield() override {
    ++yields;
    if (onYield) onYield(yields);
  }
  std::optional<std::string> AskText(const std::string& prompt, const std::string& title,
                                     const std::string& initialText) override;
  void ShowWarning(const std::string& text, const std::string& title) override {
    warnings.push_back({text, title});
  }

  // Answers for the coming prompts, in order; nullopt is a cancel. No answer left: cancel.
  std::deque<std::optional<std::string>> answers;

  // Runs at every yield with the number of yields so far (the window's events, in a test).
  std::function<void(int)> onYield;

  std::vector<float> progress;
  int yields = 0;
  bool busy = false;
  std::vector<bool> busyChanges;
  std::vector<Prompt> prompts;
  std::vector<Warning> warnings;
};

// Loads path into state and returns the LoadError's message; records a test failure when the load
// does not fail or leaves the host busy.
std::string LoadFailureMessage(ViewState& state, const std::string& path, RecordingHost& host);

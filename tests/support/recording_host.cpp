#include "recording_host.h"

#include <gtest/gtest.h>

#include "load_error.h"
#include "load_measurement.h"

void RecordingHost::SetBusy(bool value) {
  busy = value;
  busyChanges.push_back(value);
}

std::optional<std::string> RecordingHost::AskText(const std::string& prompt,
                                                  const std::string& title,
                                                  const std::string& initialText) {
  prompts.push_back({prompt, title, initialText});
  if (answers.empty()) return std::nullopt;
  auto answer = answers.front();
  answers.pop_front();
  return answer;
}

std::string LoadFailureMessage(ViewState& state, const std::string& path, RecordingHost& host) {
  try {
    LoadMeasurement(state, path, host);
  } catch (const LoadError& e) {
    EXPECT_FALSE(host.busy);
    return e.what();
  }
  ADD_FAILURE() << "the load of " << path << " did not fail";
  return {};
}

#include "recording_host.h"

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

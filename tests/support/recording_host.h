#pragma once
// A load host for tests: records progress values, yields, loading changes and period prompts,
// and answers the prompts from a script.

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "load_host.h"
#include "measurement.h"

class RecordingHost : public LoadHost {
 public:
  void SetLoading(bool value) override {
    loading = value;
    loadingChanges.push_back(value);
  }
  void SetProgress(float percent) override { progress.push_back(percent); }
  void Yield() override {
    ++yields;
    if (onYield) onYield(yields);
  }
  std::optional<std::string> AskPeriod(const std::string& initialText,
                                       const RecordingFacts& recording) override;
  // Records the facts; answers from sofaAnswers, the offer when none is left.
  std::optional<SofaChoice> AskSofaChoice(const SofaFacts& facts) override;

  // Answers for the coming prompts, in order; nullopt is a cancel. No answer left: cancel.
  std::deque<std::optional<std::string>> answers;

  // Runs at every yield with the number of yields so far (the window's events, in a test).
  std::function<void(int)> onYield;

  std::vector<float> progress;
  int yields = 0;
  bool loading = false;
  std::vector<bool> loadingChanges;
  std::vector<std::string> prompts;        // the initial text of every period prompt
  std::vector<RecordingFacts> recordings;  // and what its recording holds
  std::deque<std::optional<SofaChoice>> sofaAnswers;
  std::vector<SofaFacts> sofaQuestions;  // what each SOFA question showed
};

// The decimation the viewer starts with.
inline constexpr std::int32_t kTestDecimation = 4;

// Loads path and returns its measurement; records a test failure (and returns an empty
// measurement) when the load fails, is refused or cancelled, or leaves the host loading.
Measurement LoadedMeasurement(const std::string& path, RecordingHost& host, float peakLevel = 0.0f,
                              std::int32_t decimation = kTestDecimation,
                              const LoadChoices& choices = {});

// Loads path and returns the LoadError's message; records a test failure when the load does not
// fail or leaves the host loading.
std::string LoadFailureMessage(const std::string& path, RecordingHost& host, float peakLevel = 0.0f,
                               std::int32_t decimation = kTestDecimation,
                               const LoadChoices& choices = {});

// The reason of a refused load; nullopt for any other result.
std::optional<RefusalReason> RefusalOf(const LoadResult& result);

// Names the results in test failure messages.
void PrintTo(RefusalReason reason, std::ostream* out);
void PrintTo(const Measurement& measurement, std::ostream* out);
void PrintTo(const Refusal& refusal, std::ostream* out);
void PrintTo(const Cancelled& cancelled, std::ostream* out);

#include "recording_host.h"

#include <gtest/gtest.h>

#include <variant>

#include "load_error.h"
#include "load_measurement.h"

std::optional<std::string> RecordingHost::AskPeriod(const std::string& initialText,
                                                    const RecordingFacts& recording) {
  prompts.push_back(initialText);
  recordings.push_back(recording);
  if (answers.empty()) return std::nullopt;
  auto answer = answers.front();
  answers.pop_front();
  return answer;
}

std::optional<SofaChoice> RecordingHost::AskSofaChoice(const SofaFacts& facts) {
  sofaQuestions.push_back(facts);
  if (sofaAnswers.empty()) return SofaChoice{};
  auto answer = sofaAnswers.front();
  sofaAnswers.pop_front();
  return answer;
}

Measurement LoadedMeasurement(const std::string& path, RecordingHost& host, float peakLevel,
                              std::int32_t decimation, const LoadChoices& choices) {
  try {
    LoadResult result = LoadMeasurement(path, peakLevel, decimation, host, choices);
    EXPECT_FALSE(host.loading);
    if (auto* measurement = std::get_if<Measurement>(&result)) return std::move(*measurement);
    ADD_FAILURE() << "the load of " << path << " handed back " << ::testing::PrintToString(result);
  } catch (const LoadError& e) {
    ADD_FAILURE() << "the load of " << path << " failed: " << e.what();
  }
  return {};
}

std::string LoadFailureMessage(const std::string& path, RecordingHost& host, float peakLevel,
                               std::int32_t decimation, const LoadChoices& choices) {
  try {
    const LoadResult result = LoadMeasurement(path, peakLevel, decimation, host, choices);
    ADD_FAILURE() << "the load of " << path << " did not fail but handed back "
                  << ::testing::PrintToString(result);
  } catch (const LoadError& e) {
    EXPECT_FALSE(host.loading);
    return e.what();
  }
  return {};
}

std::optional<RefusalReason> RefusalOf(const LoadResult& result) {
  if (const auto* refusal = std::get_if<Refusal>(&result)) return refusal->reason;
  return std::nullopt;
}

void PrintTo(RefusalReason reason, std::ostream* out) {
  switch (reason) {
    case RefusalReason::NotMono:
      *out << "NotMono";
      return;
  }
  *out << "RefusalReason(" << static_cast<int>(reason) << ")";
}

void PrintTo(const Measurement& measurement, std::ostream* out) {
  *out << "a measurement of " << measurement.grid.MicCount() << " microphones by "
       << measurement.grid.RowCount() << " rows";
}

void PrintTo(const Refusal& refusal, std::ostream* out) {
  *out << "a refusal (";
  PrintTo(refusal.reason, out);
  *out << ")";
}

void PrintTo(const Cancelled&, std::ostream* out) {
  *out << "a cancellation";
}

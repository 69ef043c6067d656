#include "window_messages.h"

#include <algorithm>
#include <cmath>

#include "file_names.h"

namespace {

// cause as the end of a sentence.
std::string Sentence(std::string text) {
  if (text.empty() || text.back() != '.') text += '.';
  return text;
}

}  // namespace

std::string LoadFaultText(const std::string& fileName, const std::string& cause) {
  return "Cannot load " + FileNameText(fileName).toStdString() + ": " + Sentence(cause);
}

std::string PaintFaultText(const std::string& cause) {
  return "Cannot paint the map: " + Sentence(cause);
}

std::string RefusalText(RefusalReason reason) {
  switch (reason) {
    case RefusalReason::NotMono:
      return "Sorry, this is not a Mono .WAV file!\n"
             "File \u203a Open channels as positions\u2026 (Ctrl+Shift+M) opens its channels as "
             "the columns.";
  }
  return {};
}

QString WindowTitleFor(const std::string& fileName) {
  const std::size_t slash = fileName.find_last_of('/');
  const std::string ownName = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
  return FileNameText(ownName) + QString::fromUtf8(" \u2014 ") + kProgramName;
}

namespace {

// 1536000 as "1 536 000".
std::string Grouped(double whole) {
  std::string digits = QString::number(whole, 'f', 0).toStdString();
  const std::ptrdiff_t sign = digits.starts_with('-') ? 1 : 0;
  for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > sign; at -= 3) {
    digits.insert(static_cast<std::size_t>(at), " ");
  }
  return digits;
}

}  // namespace

std::string SofaFactsText(const SofaFacts& facts) {
  const auto counted = [](std::int32_t count, const std::string& word) {
    return Grouped(count) + " " + word + (count == 1 ? "" : "s");
  };
  const std::string convention = facts.convention.empty() ? "SOFA set" : facts.convention;
  return convention + ": " + counted(facts.measurements, "measurement") + ", " +
         counted(facts.receivers, "receiver") + ", " + counted(facts.emitters, "emitter") + ", " +
         counted(facts.samples, "sample") + " at " + std::to_string(facts.sampleRate) +
         " samples/s" + (facts.hasDirections ? "" : " (no source positions: all measurements)");
}

std::string RecordingFactsText(const RecordingFacts& recording) {
  const double samples = std::floor(std::max(recording.sampleCount, 0.0));
  std::string text =
      std::to_string(recording.sampleRate) + " samples/s, " + Grouped(samples) + " samples";
  if (recording.sampleRate > 0) {
    text += ", " + QString::number(samples / recording.sampleRate, 'f', 3).toStdString() + " s";
  }
  return text;
}

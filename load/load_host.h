#pragma once
// What a load needs from the program that runs it: the window implements this with its
// controls and dialogs; tests and the headless renderer implement it their own way.

#include <cstdint>
#include <optional>
#include <string>

#include "load_choices.h"
#include "number_text.h"

// What a recording holds, shown with the period prompt so that the answer can be checked.
struct RecordingFacts {
  std::int32_t sampleRate;  // samples per second
  double sampleCount;       // samples in the file (not rounded)
};

// What a SOFA set holds, shown with the question of which part of it to draw.
struct SofaFacts {
  std::string convention;     // SOFAConventions, e.g. "SimpleFreeFieldHRIR"
  std::int32_t measurements;  // M
  std::int32_t receivers;     // R
  std::int32_t emitters;      // E (1 without an E dimension)
  std::int32_t samples;       // N, per impulse response
  std::int32_t sampleRate;    // samples per second
  bool hasDirections;         // the source positions allow the plane selections
};

class LoadHost {
 public:
  virtual ~LoadHost() = default;

  // True while a file loads: the window hides the file name (uncovering the progress bar) and
  // shows the wait cursor.
  virtual void SetLoading(bool loading) = 0;
  // Progress of the load in percent, 0..100.
  virtual void SetProgress(float percent) = 0;
  // Process the window events that are waiting, then return. May throw to abandon the load (the
  // window was closed); the exception passes through the reader and LoadMeasurement.
  virtual void Yield() = 0;
  // The repetition period of a recording, as the user types it (seconds below 10, otherwise
  // samples), offered initialText first; nullopt when the user cancels.
  virtual std::optional<std::string> AskPeriod(const std::string& initialText,
                                               const RecordingFacts& recording) = 0;
  // Which receiver, emitter and measurements of a SOFA set to draw, offered the first ones;
  // nullopt when the user cancels. A host that cannot ask takes the offer.
  virtual std::optional<SofaChoice> AskSofaChoice(const SofaFacts& /*facts*/) {
    return SofaChoice{};
  }
  // Converts a typed answer to a number; nullopt when it is not one. The window reads it in the
  // user's locale first; the default takes "." as the decimal separator.
  virtual std::optional<double> ToNumber(const std::string& text) { return ParseDecimal(text); }
  // Asked with the size of the grid before it is allocated: the reason why the host could not
  // show a map of that size, which fails the load before any memory is spent on it.
  virtual std::optional<std::string> RefuseGridSize(std::int32_t /*micCount*/,
                                                    std::int32_t /*rowCount*/) {
    return std::nullopt;
  }
};

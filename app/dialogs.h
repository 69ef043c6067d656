#pragma once
// The window's modal dialogs behind a small interface, so that tests can answer them.

#include <optional>

#include <string>
#include <utility>
#include <vector>
#include "load_host.h"

class QWidget;

struct OpenFileSettings {
  std::string title;
  std::vector<std::pair<std::string, std::string>> types;  // description, pattern
  int selectedType = 1;                                    // 1-based
  bool mustExist = true;
  std::string initialName;
  std::string initialFolder;  // empty: the toolkit's choice
};

// The Browse dialog's settings: the same every time it opens, but for the folder it starts in.
OpenFileSettings BrowseSettings(std::string initialFolder = {});
// The type of the audio files among them, the 7th.
inline constexpr const char* kAudioFilesType =
    "Audio file (*.wav *.flac *.aif *.aiff *.w64 *.rf64 *.caf)";

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // The full path of the chosen file; nullopt on cancel.
  virtual std::optional<std::string> OpenFile(QWidget* parent,
                                              const OpenFileSettings& settings) = 0;
  // A one-line input box; nullopt on cancel.
  virtual std::optional<std::string> InputBox(QWidget* parent, const std::string& prompt,
                                              const std::string& title,
                                              const std::string& defaultText) = 0;
  // A save dialog: the full path to write; nullopt on cancel. filters: "Description (*.ext)".
  virtual std::optional<std::string> SaveFile(QWidget* parent, const std::string& title,
                                              const std::vector<std::string>& filters) = 0;
  // A warning with the critical icon.
  virtual void Warning(QWidget* parent, const std::string& text, const std::string& title) = 0;
  // A message with the information icon, such as About.
  virtual void Information(QWidget* parent, const std::string& text, const std::string& title) = 0;
  // A fault, in a box titled "MLS Vexal".
  virtual void Error(QWidget* parent, const std::string& text) = 0;
  // Which receiver, emitter and measurements of a SOFA set to show; nullopt on cancel. Without a
  // dialog of its own, the first answers are taken.
  virtual std::optional<SofaChoice> AskSofaChoice(QWidget* /*parent*/, const SofaFacts& /*facts*/) {
    return SofaChoice{};
  }
};

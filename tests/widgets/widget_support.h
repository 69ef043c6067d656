#pragma once
// Helpers of the window tests: dialogs answered from a script, measurement files, and a started
// window.

#include <QImage>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dialogs.h"
#include "form1.h"
#include "test_files.h"

class ScriptedDialogs : public Dialogs {
 public:
  struct Input {
    std::string prompt, title, defaultText;
  };

  std::optional<std::string> OpenFile(QWidget* parent, const OpenFileSettings& settings) override;
  std::optional<std::string> InputBox(QWidget* parent, const std::string& prompt,
                                      const std::string& title,
                                      const std::string& defaultText) override;
  std::optional<std::string> SaveFile(QWidget*, const std::string& title,
                                      const std::vector<std::string>&) override {
    saveDialogs.push_back(title);
    if (saves.empty()) return std::nullopt;
    auto answer = saves.front();
    saves.pop_front();
    return answer;
  }
  void Warning(QWidget*, const std::string& text, const std::string& title) override {
    warnings.push_back(title + ": " + text);
  }
  void Information(QWidget*, const std::string& text, const std::string& title) override {
    informations.push_back(title + ": " + text);
  }
  void Error(QWidget*, const std::string& text) override;
  std::optional<SofaChoice> AskSofaChoice(QWidget*, const SofaFacts& facts) override {
    sofaQuestions.push_back(facts);
    if (sofaChoices.empty()) return SofaChoice{};
    auto answer = sofaChoices.front();
    sofaChoices.pop_front();
    return answer;
  }

  // Answers in order; nullopt is a cancel. No answer left: cancel.
  std::deque<std::optional<std::string>> files;
  std::deque<std::optional<std::string>> inputs;
  std::deque<std::optional<std::string>> saves;
  std::deque<std::optional<SofaChoice>> sofaChoices;  // no answer left: the offer
  // Runs when a file dialog closes with a choice, before the handler goes on.
  std::function<void()> onFileChosen;
  // Runs when an error box is shown.
  std::function<void(const std::string&)> onError;

  std::vector<OpenFileSettings> fileDialogs;
  std::vector<Input> inputBoxes;
  std::vector<std::string> warnings;
  std::vector<std::string> informations;
  std::vector<std::string> saveDialogs;
  std::vector<SofaFacts> sofaQuestions;
  std::vector<std::string> errors;
};

// An .mls file of micCount columns and rowCount points whose point (m, r), both from 1, is the
// real number amplitude(m, r).
std::string WriteMls(const TempFolder& folder, const std::string& name, int micCount, int rowCount,
                     const std::function<float(int, int)>& amplitude);
// A grid whose greys vary along both axes.
std::string WriteRamp(const TempFolder& folder, const std::string& name, int micCount,
                      int rowCount);

// Puts a micCount x rowCount grid whose greys vary along both axes into the form's state (peak
// 0, levels 0 to -99) and paints it through "Redraw" (answered with the range 100).
void PaintGrid(Form1& form, ScriptedDialogs& dialogs, std::int32_t micCount, std::int32_t rowCount,
               std::int32_t sampleRate = 0);

// Shows the window and returns once Form_Activate has run.
void Start(Form1& form);
// Runs the actions that keys and menus queue, and any load or paint they start, to their end.
void RunQueuedActions(Form1& form);

// Picture1 as drawn on screen (its own paint of the backing image), interior only.
QImage ShownInterior(const Form1& form);
// Grey of interior pixel (x, y) of an image.
int GreyAt(const QImage& image, int x, int y);
// Columns of the shown interior that hold the expected greys of the state's grid (from the left,
// stopping at the first that does not).
int PaintedColumns(Form1& form);
// True when interior column x is all background (the initial image's pixel aside).
bool BackgroundColumn(const QImage& image, int x);

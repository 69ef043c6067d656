#pragma once

#include "dialogs.h"

// The dialogs as the user meets them: QFileDialog, QInputDialog, QMessageBox.
class QtDialogs : public Dialogs {
 public:
  std::optional<std::string> OpenFile(QWidget* parent, const OpenFileSettings& settings) override;
  std::optional<std::string> InputBox(QWidget* parent, const std::string& prompt,
                                      const std::string& title,
                                      const std::string& defaultText) override;
  std::optional<std::string> SaveFile(QWidget* parent, const std::string& title,
                                      const std::vector<std::string>& filters) override;
  void Warning(QWidget* parent, const std::string& text, const std::string& title) override;
  void Information(QWidget* parent, const std::string& text, const std::string& title) override;
  void Error(QWidget* parent, const std::string& text) override;
  std::optional<SofaChoice> AskSofaChoice(QWidget* parent, const SofaFacts& facts) override;
};

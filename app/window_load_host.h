#pragma once
// The window as the host of its loads: the file name hidden and the wait cursor while a file
// loads, the progress bar, yields to the window's events, and the period prompt.

#include <string>

#include "load_host.h"

class QLineEdit;
class QProgressBar;
class QWidget;
class Dialogs;

// Thrown by a yield once the window has been closed: it abandons the running load or paint.
struct WindowClosed {};

class WindowLoadHost : public LoadHost {
 public:
  // closed: set once the window has been closed.
  WindowLoadHost(QWidget& window, Dialogs& dialogs, QLineEdit& text1, QProgressBar& progressBar1,
                 const bool& closed);
  ~WindowLoadHost() override;
  WindowLoadHost(const WindowLoadHost&) = delete;
  WindowLoadHost& operator=(const WindowLoadHost&) = delete;

  void SetLoading(bool loading) override;
  void SetProgress(float percent) override;
  void Yield() override;  // throws WindowClosed
  std::optional<std::string> AskPeriod(const std::string& initialText,
                                       const RecordingFacts& recording) override;
  std::optional<SofaChoice> AskSofaChoice(const SofaFacts& facts) override;
  // In the user's locale first, then with "." as the decimal separator.
  std::optional<double> ToNumber(const std::string& text) override;
  // A map the window cannot size is refused before its grid is allocated.
  std::optional<std::string> RefuseGridSize(std::int32_t micCount, std::int32_t rowCount) override;

 private:
  QWidget& window_;
  Dialogs& dialogs_;
  QLineEdit& text1_;
  QProgressBar& progressBar1_;
  const bool& closed_;
  int cursorSets_ = 0;  // wait cursors set by SetLoading and not yet restored
};

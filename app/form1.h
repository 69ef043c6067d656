#pragma once
// The program's only window: the file name, "Browse", "Redraw", the picture with its millisecond
// scale, and the progress bar under the file name. It owns the view state, runs loads and paints
// for its five event handlers, and serves both as their LoadHost and their MapSurface.

#include <QWidget>
#include <string>
#include <vector>

#include "dialogs.h"
#include "draw_map.h"
#include "load_host.h"
#include "map_surface.h"
#include "view_state.h"

class QLineEdit;
class QProgressBar;
class QPushButton;
class PictureBox;

class Form1 : public QWidget, private LoadHost, private MapSurface {
  Q_OBJECT
 public:
  // commandLine: the program's arguments as one text. Runs Form_Load.
  Form1(std::string commandLine, Dialogs& dialogs, DrawOptions drawOptions = {},
        QWidget* parent = nullptr);
  ~Form1() override;

  ViewState& State() { return state_; }
  // True from Form_Activate's start until the window closes.
  bool Activated() const { return activated_; }
  // A load or a paint is running.
  bool Busy() const { return busy_ > 0; }

  QLineEdit* Text1() const { return text1_; }
  QPushButton* Command1() const { return command1_; }
  QPushButton* Command2() const { return command2_; }
  PictureBox* Picture1() const { return picture1_; }
  QProgressBar* ProgressBar1() const { return progressBar1_; }

  // Event handlers.
  void Form_Load();
  void Form_Activate();
  void Command1_Click();
  void Command2_Click();
  void Picture1_Click();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  // Thrown by Yield once the window has been closed: it abandons the running load or paint.
  struct WindowClosed {};
  struct Tick {
    float offsetRows;
    int ms;
  };

  // Loads fileName and paints it; a fault ends in one error box.
  void LoadAndDraw(const std::string& fileName);
  // Paints the current grid; a fault ends in one error box. False when it failed.
  bool Draw();
  void ShowFault(const std::string& text);

  // LoadHost
  void SetBusy(bool busy) override;
  void SetProgress(float percent) override;
  void Yield() override;  // also MapSurface's
  std::optional<std::string> AskText(const std::string& prompt, const std::string& title,
                                     const std::string& initialText) override;
  std::optional<double> ToNumber(const std::string& text) override;
  void ShowWarning(const std::string& text, const std::string& title) override;

  // MapSurface
  void SetWidths(const MapLayout& layout) override;
  void SetHeights(const MapLayout& layout) override;
  void Clear(std::int32_t micCount, std::int32_t rowCount) override;
  void DrawTick(float offsetRows, int ms) override;
  void PaintColumn(std::int32_t column, std::span<const std::uint8_t> greys) override;

  const std::string commandLine_;
  Dialogs& dialogs_;
  const DrawOptions drawOptions_;
  ViewState state_;

  QLineEdit* text1_;
  QPushButton* command1_;
  QPushButton* command2_;
  PictureBox* picture1_;
  QProgressBar* progressBar1_;
  std::vector<Tick> ticks_;

  int busy_ = 0;        // loads and paints running (nested ones included)
  int cursorSets_ = 0;  // wait cursors set by SetBusy and not yet restored
  bool activationQueued_ = false;
  bool activated_ = false;
  bool closed_ = false;
};

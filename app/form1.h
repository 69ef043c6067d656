#pragma once
// The program's only window: the file name, "Browse", "Redraw", the picture with its millisecond
// scale, and the progress bar under the file name. It owns the view state, runs loads and paints
// for its event handlers, and serves both as their LoadHost and their map surface.
// Comforts on top: a map larger than the screen scrolls inside a capped window, a read-out
// follows the mouse over painted cells, a dropped file loads like a Browse choice, and Ctrl+O,
// Ctrl+R and Escape stand for "Browse", "Redraw" and a click on the picture.

#include <QWidget>
#include <string>
#include <vector>

#include "dialogs.h"
#include "draw_map.h"
#include "load_host.h"
#include "map_fit.h"
#include "map_surface.h"
#include "view_state.h"
#include "window_layout.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QScrollBar;
class PictureBox;

class Form1 : public QWidget, private LoadHost, private WindowMapSurface {
  Q_OBJECT
 public:
  // commandLine: the program's arguments as one text. Runs Form_Load.
  Form1(std::string commandLine, Dialogs& dialogs, DrawOptions drawOptions = {},
        QWidget* parent = nullptr);
  ~Form1() override;

  ViewState& State() { return state_; }
  // True from Form_Activate's start until the window closes.
  bool Activated() const { return activated_; }
  // A load or a paint is running: the handlers that would start another ignore their event.
  bool Running() const { return running_ > 0; }

  QLineEdit* Text1() const { return text1_; }
  QPushButton* Command1() const { return command1_; }
  QPushButton* Command2() const { return command2_; }
  PictureBox* Picture1() const { return picture1_; }
  QProgressBar* ProgressBar1() const { return progressBar1_; }
  // Shown only while a map larger than the screen's free area is on the picture.
  QScrollBar* HorizontalScroll() const { return hScroll_; }
  QScrollBar* VerticalScroll() const { return vScroll_; }
  // The read-out window that follows the mouse over painted cells.
  QLabel* Readout() const { return readout_; }

  // Event handlers.
  void Form_Load();
  void Form_Activate();
  void Command1_Click();
  void Command2_Click();
  void Picture1_Click();
  // A dropped file: loaded and painted as a Browse choice of it; ignored while one runs.
  void Form_FileDropped(const std::string& fileName);

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;  // as a move
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // Thrown by Yield once the window has been closed: it abandons the running load or paint.
  struct WindowClosed {};
  struct Tick {
    float offsetRows;
    int ms;
  };

  // Shows fileName in Text1, then loads and paints it, as after a Browse choice.
  void OpenChosen(const std::string& fileName);
  // Loads fileName and paints it; a fault ends in one error box.
  void LoadAndDraw(const std::string& fileName);
  // Paints the current grid; a fault ends in one error box.
  void Draw();
  void ShowRefusal(const Refusal& refusal);
  // A loaded file that holds no cell gets one message after its (empty) paint.
  void SayIfEmpty(const std::string& fileName);
  // Text1 shows fileName; FileNameInText1 gives back its bytes unless the user edited it.
  void ShowFileName(const std::string& fileName);
  std::string FileNameInText1() const;
  void ShowFault(const std::string& text);

  // Scrolling (form1_scroll.cpp): the client area the screen leaves, the scroll bars placed for
  // the fitted picture, the picture and the scale following them.
  QSize AvailableClientSize() const;
  int ScrollBarExtent() const;
  void PlaceScrollBars(const WindowLayout& layout, const MapFit& fit);
  void FollowScroll();
  void KeepOnScreen();
  // Read-out (form1_input.cpp).
  void ShowReadout(QPoint pixel, QPoint globalPos);
  void HideReadout();
  void AddShortcuts();

  // LoadHost
  void SetLoading(bool loading) override;
  void SetProgress(float percent) override;
  void Yield() override;  // also the map surface's
  std::optional<std::string> AskPeriod(const std::string& initialText) override;
  std::optional<double> ToNumber(const std::string& text) override;
  std::optional<std::string> RefuseGridSize(std::int32_t micCount, std::int32_t rowCount) override;

  // WindowMapSurface
  void SetWidths(const MapGeometry& map) override;
  void SetHeights(const MapGeometry& map) override;
  void Clear(std::int32_t micCount, std::int32_t rowCount) override;
  void DrawTick(float offsetRows, int ms) override;
  void PaintColumn(std::int32_t column, std::span<const std::uint8_t> greys) override;

  const std::string commandLine_;
  Dialogs& dialogs_;
  const DrawOptions drawOptions_;
  ViewState state_;

  std::string shownFileName_;  // the bytes of the name Text1 was given
  QString shownFileNameText_;  // and the text it shows for them
  QLineEdit* text1_;
  QPushButton* command1_;
  QPushButton* command2_;
  PictureBox* picture1_;
  QProgressBar* progressBar1_;
  QScrollBar* hScroll_;
  QScrollBar* vScroll_;
  QLabel* readout_;
  std::vector<Tick> ticks_;
  // Columns painted whole since the last Clear (they are painted in order); 0 when a load
  // replaces the grid, so that the read-out only speaks of cells that show the grid's levels.
  std::int32_t paintedColumns_ = 0;

  int running_ = 0;     // loads and paints running (nested ones included)
  int cursorSets_ = 0;  // wait cursors set by SetLoading and not yet restored
  bool activationQueued_ = false;
  bool activated_ = false;
  bool closed_ = false;
};

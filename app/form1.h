#pragma once
// The program's only window: the file name, "Browse", "Redraw", the map view (Picture1 with its
// scale) and the progress bar under the file name. It owns the view state, runs loads and paints
// for its event handlers, and serves both as their LoadHost and their map surface; the map view
// does the viewing. A dropped file loads like a Browse choice; Ctrl+O, Ctrl+R and Escape stand
// for "Browse", "Redraw" and a click on the picture.

#include <QWidget>
#include <functional>
#include <string>

#include "dialogs.h"
#include "draw_map.h"
#include "load_host.h"
#include "map_surface.h"
#include "map_view.h"
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
  MapView* View() const { return mapView_; }
  QScrollBar* HorizontalScroll() const { return mapView_->HorizontalScroll(); }
  QScrollBar* VerticalScroll() const { return mapView_->VerticalScroll(); }
  QLabel* Readout() const { return mapView_->Readout(); }

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
  void resizeEvent(QResizeEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;  // as a move
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // Thrown by Yield once the window has been closed: it abandons the running load or paint.
  struct WindowClosed {};

  // Shows fileName in Text1, then loads and paints it, as after a Browse choice.
  void OpenChosen(const std::string& fileName);
  // Loads fileName and paints it; a fault ends in one error box.
  void LoadAndDraw(const std::string& fileName);
  // Paints the current grid; a fault ends in one error box.
  void Draw(const DrawOptions& options);
  void ShowRefusal(const Refusal& refusal);
  // A loaded file that holds no cell gets one message after its (empty) paint.
  void SayIfEmpty(const std::string& fileName);
  void ShowFault(const std::string& text);
  // Text1 shows fileName; FileNameInText1 gives back its bytes unless the user edited it.
  void ShowFileName(const std::string& fileName);
  std::string FileNameInText1() const;
  void AddActions();

  // The view's requests: a wider or narrower span, the peak of the map on screen, a new zoom.
  void StepRange(int direction);
  void ScaleToMap();
  void SaveView();
  // Applies a change of the view state and paints at once, unless a load or paint runs.
  void RepaintAfter(const std::function<void()>& change);
  void FollowZoom();
  // Window sizes for the shown map at the view's zoom (form1_host.cpp).
  void SizeToMap(bool heightsToo);
  QSize AvailableClientSize() const;
  int ScrollBarExtent() const;

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
  void DrawTick(float offsetRows, int label) override;
  void PaintColumn(std::int32_t column, std::span<const std::uint8_t> greys) override;

  const std::string commandLine_;
  Dialogs& dialogs_;
  const DrawOptions drawOptions_;
  ViewState state_;
  MapGeometry shownMap_{};                   // the cells of the map the window is sized for
  std::optional<WindowLayout> shownLayout_;  // its layout at the view's zoom, once shown
  bool sizingToMap_ = false;                 // the window resizes itself to the map

  std::string shownFileName_;  // the bytes of the name Text1 was given
  QString shownFileNameText_;  // and the text it shows for them
  MapView* mapView_;
  QLineEdit* text1_;
  QPushButton* command1_;
  QPushButton* command2_;
  PictureBox* picture1_;
  QProgressBar* progressBar1_;

  int running_ = 0;     // loads and paints running (nested ones included)
  int cursorSets_ = 0;  // wait cursors set by SetLoading and not yet restored
  bool activationQueued_ = false;
  bool activated_ = false;
  bool closed_ = false;
};

#pragma once
// The program's only window: the file name, "Browse", "Redraw", the map view (Picture1 with its
// scale) and the progress bar under the file name. It owns the view state, the load host and the
// map surface, and runs loads and paints for its event handlers; the map view does the viewing.

#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "comparison.h"
#include "designed_controls.h"
#include "dialogs.h"
#include "draw_map.h"
#include "file_names.h"
#include "map_view.h"
#include "view_state.h"
#include "window_load_host.h"
#include "window_menus.h"
#include "window_surface.h"

class QDialog;
class QLabel;
class QLineEdit;
class QMenuBar;
class QProgressBar;
class QPushButton;
class QStatusBar;
class ProfilesLink;
class FiguresLink;
class WindowMenus;

class Form1 : public QWidget {
  Q_OBJECT
 public:
  // commandLine: the program's arguments as one text. Runs Form_Load.
  Form1(std::string commandLine, Dialogs& dialogs, DrawOptions drawOptions = {},
        QWidget* parent = nullptr);

  ViewState& State() { return state_; }
  // True from Form_Activate's start until the window closes.
  bool Activated() const { return activated_; }
  // A load or a paint is running: the handlers that would start another ignore their event.
  bool Running() const { return running_ > 0; }

  QLineEdit* Text1() const { return controls_.text1; }
  QPushButton* Command1() const { return controls_.command1; }
  QPushButton* Command2() const { return controls_.command2; }
  PictureBox* Picture1() const { return controls_.picture1; }
  QProgressBar* ProgressBar1() const { return controls_.progressBar1; }
  MapView* View() const { return controls_.mapView; }
  ProfilesLink* Profiles() const { return profiles_; }
  FiguresLink* Figures() const { return figures_; }
  const Comparison& Compared() const { return comparison_; }
  QMenuBar* MenuBar() const { return menuBar_; }
  QStatusBar* StatusBar() const { return statusBar_; }
  WindowMenus* Menus() const { return menus_; }
  const WindowActions& WindowActionSet() const { return actions_; }
  // Heights of the menu bar above the designed controls, and of it with the status bar below.
  int MenuBarHeight() const;
  int ChromeHeight() const;
  // The status bar's permanent line.
  QString StatusLine() const;

  // Event handlers. Ctrl+O, Ctrl+R and Escape stand for "Browse", "Redraw" and a click on the
  // picture; a dropped file, Enter in Text1 and a recent file load as a Browse choice would.
  void Form_Load();
  void Form_Activate();
  void Command1_Click();
  void Command2_Click();
  void Picture1_Click();
  void Text1_Enter();
  // Ctrl+Shift+O: a reference measurement, loaded as a Browse choice is but into a state of its
  // own; D: the next of measurement, reference and difference. G: the acoustic figures of every
  // position.
  void LoadReference();
  void ShowNextMap();
  // Loads and paints fileName as a Browse choice of it (a drop, a recent file); ignored while a
  // load or paint runs.
  void Open(std::string fileName);
  // Ctrl+Shift+M: an audio file chosen as with Browse, one column per channel.
  void OpenChannels();
  // T, Shift+T and "Slice length…": the samples summed into one row become decimation (1..1024)
  // and the file on screen is read again with the answers it was given; a map that is not made
  // of slices of samples (.mls, text exports) keeps its slices and says why.
  void SetSliceLength(std::int32_t decimation);
  void AskSliceLength();
  // Ctrl+W: the file closed, the window as at start-up but for the span and its size.
  void CloseFile();
  // Ctrl+C: the view as shown to the clipboard, unless its picture would be too large.
  void CopyShownView();
  // File › Export grid…: the levels of the map shown as float32 .npy or .csv, as the renderer's
  // --grid writes them.
  void ExportGrid();
  // F1 and Help › About.
  void ShowKeys();
  void ShowAbout();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Runs work unless a load or paint runs, counted as running; a closed window ends it.
  void RunIfIdle(const std::function<void()>& work);
  // Shows fileName in Text1, then loads and paints it, as after a Browse choice.
  void OpenChosen(const std::string& fileName);
  void LoadAndDraw(const std::string& fileName);
  // With the answers given before the load and its slice length; on success the view takes both.
  void LoadAndDraw(const std::string& fileName, const LoadChoices& choices,
                   std::int32_t decimation);
  void ApplySliceLength(std::int32_t decimation);
  // Paints the current grid; a fault ends in one error box.
  void Draw(const DrawOptions& options);
  void ShowFault(const std::string& text);
  void ShowMapOf(const std::string& fileName);
  void AddActions();
  void BuildMenus();
  // Places the menu bar above the designed controls and the status bar below them.
  void PlaceChrome();
  void UpdateStatus();
  // The legend names the file whose rate gives an .mls its time scale.
  void ShowBorrowedRate();
  void UpdateEnabled();
  // A message about the picture that Ctrl+S or Ctrl+C would make when it is too large.
  std::optional<std::string> PictureTooLarge() const;

  // Applies a change of what is shown and paints at once, unless a load or paint runs.
  void RepaintAfter(const std::function<void()>& change);
  void SaveShownView();

  const std::string commandLine_;
  Dialogs& dialogs_;
  const DrawOptions drawOptions_;
  ViewState state_;
  DesignedControls controls_;
  QMenuBar* menuBar_;
  QStatusBar* statusBar_;
  QLabel* statusLine_;
  bool closed_ = false;
  WindowLoadHost host_;
  WindowSurface surface_;
  Comparison comparison_;
  ProfilesLink* profiles_;
  FiguresLink* figures_;
  WindowActions actions_;
  WindowMenus* menus_ = nullptr;
  QDialog* keysWindow_ = nullptr;

  FileNameField fileName_;   // Text1
  std::string mapFileName_;  // the file whose map is on screen; empty before any
  std::string rateSource_;   // the file whose load set SampleRate; empty while none did

  int running_ = 0;  // loads and paints running (nested ones included)
  bool activationQueued_ = false;
  bool activated_ = false;
};

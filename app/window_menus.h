#pragma once
// The window's menus: the menu bar (File, View, Help) and the map's right-click menu, built from
// the window's and the map view's actions. Every menu lives as long as the window, so no menu is
// destroyed while one of its actions runs; the recent files' entries start their load queued,
// once the menu has closed.

#include <QList>
#include <QObject>
#include <functional>
#include <string>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;
class MapView;

// The window's own actions, in the places the menus give them. A null action is left out (a
// feature this build lacks).
struct WindowActions {
  QAction* open = nullptr;
  QAction* openReference = nullptr;
  QAction* openChannels = nullptr;  // "Open channels as positions…"
  QAction* exportGrid = nullptr;
  QAction* exportProfiles = nullptr;
  QAction* close = nullptr;
  QAction* quit = nullptr;
  QAction* redraw = nullptr;
  QAction* sliceLength = nullptr;  // "Slice length…", T and Shift+T
  QAction* longerSlices = nullptr;
  QAction* shorterSlices = nullptr;
  QAction* stop = nullptr;
  QAction* profiles = nullptr;
  QAction* figures = nullptr;  // "Acoustic figures…"
  QAction* showNext = nullptr;
  QAction* dropReference = nullptr;
  QAction* keys = nullptr;
  QAction* about = nullptr;
};

class WindowMenus : public QObject {
 public:
  struct Hooks {
    std::function<bool()> busy;                    // a load or paint runs
    std::function<void(const std::string&)> open;  // opens a recent file
    std::function<void()> beforeShow;              // brings the actions' enabled states up to date
  };
  WindowMenus(QWidget& window, QMenuBar& bar, MapView& view, const WindowActions& actions,
              Hooks hooks);

  QMenu* ContextMenu() const { return context_; }
  QMenu* RecentFilesMenu() const { return recent_; }
  QMenu* PaletteMenu() const { return palettes_; }
  // Every menu of the menu bar, in order.
  QList<QMenu*> BarMenus() const { return barMenus_; }

 private:
  void AddViewActions(QMenu& menu, bool withSaving);
  void FillRecentFiles();
  void SyncChecks();

  QWidget& window_;
  MapView& view_;
  Hooks hooks_;
  QMenu* recent_;
  QMenu* palettes_;
  QMenu* context_;
  QList<QMenu*> barMenus_;
  QList<QAction*> paletteChoices_;
  QAction* saveView_ = nullptr;
  QAction* copyView_ = nullptr;
};

// The map view's action whose text is `text`, or null.
QAction* ViewAction(const MapView& view, const QString& text);

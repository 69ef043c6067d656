#include "window_menus.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

#include "file_names.h"
#include "map_view.h"
#include "recent_files.h"

namespace {

constexpr const char* kSaveViewText = "Save view…";
constexpr const char* kCopyViewText = "Copy view";
constexpr const char* kLegendText = "Legend and axes";
constexpr const char* kNextPaletteText = "Next palette";
constexpr const char* kDistanceText = "Distance axis";

void AddAll(QMenu& menu, std::initializer_list<QAction*> actions) {
  for (QAction* action : actions) {
    if (action != nullptr) menu.addAction(action);
  }
}

}  // namespace

QAction* ViewAction(const MapView& view, const QString& text) {
  for (QAction* action : view.Actions()) {
    if (action->text() == text) return action;
  }
  return nullptr;
}

WindowMenus::WindowMenus(QWidget& window, QMenuBar& bar, MapView& view,
                         const WindowActions& actions, Hooks hooks)
    : QObject(&window), window_(window), view_(view), hooks_(std::move(hooks)) {
  saveView_ = ViewAction(view, kSaveViewText);
  copyView_ = ViewAction(view, kCopyViewText);
  if (QAction* legend = ViewAction(view, kLegendText)) legend->setCheckable(true);
  if (QAction* distance = ViewAction(view, kDistanceText)) distance->setCheckable(true);

  recent_ = new QMenu("Recent files", &window);
  recent_->setObjectName("RecentFiles");
  connect(recent_, &QMenu::aboutToShow, this, &WindowMenus::FillRecentFiles);

  palettes_ = new QMenu("Palette", &window);
  auto* group = new QActionGroup(palettes_);
  for (const Palette palette : kAllPalettes) {
    QAction* choice = palettes_->addAction(PaletteName(palette));
    choice->setCheckable(true);
    group->addAction(choice);
    connect(choice, &QAction::triggered, &view, [&view, palette] { view.SetPalette(palette); });
    paletteChoices_.push_back(choice);
  }

  QMenu* file = bar.addMenu("&File");
  AddAll(*file, {actions.open, actions.openReference, actions.openChannels});
  file->addMenu(recent_);
  file->addSeparator();
  AddAll(*file, {saveView_, copyView_, actions.exportGrid, actions.exportProfiles});
  file->addSeparator();
  AddAll(*file, {actions.close});
  file->addSeparator();
  AddAll(*file, {actions.quit});

  QMenu* shown = bar.addMenu("&View");
  AddAll(*shown, {actions.redraw, actions.sliceLength, actions.longerSlices, actions.shorterSlices,
                  actions.stop, actions.profiles, actions.figures});
  shown->addSeparator();
  AddAll(*shown, {actions.showNext, actions.dropReference});
  shown->addSeparator();
  AddViewActions(*shown, /*withSaving=*/false);

  QMenu* help = bar.addMenu("&Help");
  AddAll(*help, {actions.keys, actions.about});
  barMenus_ = {file, shown, help};

  // The right-click menu as it always was: the window's map actions and recent files, then every
  // view action.
  context_ = new QMenu(&view);
  context_->setObjectName("ContextMenu");
  AddAll(*context_, {actions.open, actions.redraw, actions.stop, actions.profiles,
                     actions.openReference, actions.showNext, actions.dropReference});
  context_->addMenu(recent_);
  AddAll(*context_, {actions.figures, actions.openChannels, actions.sliceLength,
                     actions.longerSlices, actions.shorterSlices});
  context_->addSeparator();
  AddViewActions(*context_, /*withSaving=*/true);

  for (QMenu* menu : {file, shown, help, context_}) {
    connect(menu, &QMenu::aboutToShow, this, [this] {
      if (hooks_.beforeShow) hooks_.beforeShow();
      SyncChecks();
    });
  }
  view.SetContextMenu(context_);
}

// The map view's actions in their order, the palettes' submenu before "Next palette"; new view
// actions join the menus by being added to the view.
void WindowMenus::AddViewActions(QMenu& menu, bool withSaving) {
  for (QAction* action : view_.Actions()) {
    if (!withSaving && (action == saveView_ || action == copyView_)) continue;
    if (action->text() == kNextPaletteText) menu.addMenu(palettes_);
    menu.addAction(action);
  }
}

// Rebuilt each time it opens, so it lists the files as they are now. Its entries are deleted only
// here, when no entry's handler can be running: a chosen entry starts its load queued.
void WindowMenus::FillRecentFiles() {
  recent_->clear();
  for (const std::string& file : RecentFiles()) {
    QAction* entry = recent_->addAction(FileNameText(file));
    connect(
        entry, &QAction::triggered, &window_, [open = hooks_.open, file] { open(file); },
        Qt::QueuedConnection);
  }
}

void WindowMenus::SyncChecks() {
  const bool idle = !hooks_.busy || !hooks_.busy();
  const bool recentFiles = idle && !RecentFiles().empty();
  recent_->setEnabled(recentFiles);
  recent_->menuAction()->setEnabled(recentFiles);
  for (int i = 0; i < paletteChoices_.size(); ++i) {
    paletteChoices_[i]->setChecked(kAllPalettes[static_cast<std::size_t>(i)] ==
                                   view_.CurrentPalette());
  }
  if (QAction* legend = ViewAction(view_, kLegendText)) legend->setChecked(view_.LegendShown());
  if (QAction* distance = ViewAction(view_, kDistanceText)) {
    distance->setChecked(view_.DistanceShown());
  }
}

// Form1's keyboard and menu actions and its answers to the map view: a span stepped with the keys,
// the peak set to the map on screen, the view saved or copied, the file closed.

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QStatusBar>
#include <new>

#include "figures_link.h"
#include "form1.h"
#include "grid_export.h"
#include "picture_limit.h"
#include "profiles_link.h"
#include "profiles_window.h"
#include "recent_files.h"
#include "save_view.h"
#include "slice_length.h"
#include "window_load.h"
#include "window_messages.h"

namespace {

const DrawOptions kAtOnce{std::chrono::steady_clock::duration::zero()};

}  // namespace

// Every action that loads, paints or opens a dialog is connected queued: it starts from the event
// loop once the menu that triggered it has closed, so no nested event processing (the yields of a
// load or paint, a modal dialog) ever runs inside a menu's or a shortcut's handler.
void Form1::AddActions() {
  const auto add = [this](const QString& text, const QKeySequence& keys, auto handler,
                          bool queued = true) {
    auto* action = new QAction(text, this);
    action->setShortcut(keys);
    connect(action, &QAction::triggered, this, handler,
            queued ? Qt::QueuedConnection : Qt::AutoConnection);
    addAction(action);
    return action;
  };
  actions_.open = add("Browse…", QKeySequence(Qt::CTRL | Qt::Key_O), &Form1::Command1_Click);
  actions_.redraw = add("Redraw…", QKeySequence(Qt::CTRL | Qt::Key_R), &Form1::Command2_Click);
  actions_.stop = add(
      "Stop painting, free the profiles", QKeySequence(Qt::Key_Escape),
      [this] {
        Picture1_Click();
        profiles_->Unpin();
      },
      /*queued=*/false);  // sets a flag only, and must reach a paint at once
  actions_.profiles = add("Profiles…", QKeySequence(Qt::Key_P), [this] { profiles_->Show(); });
  actions_.figures =
      add("Acoustic figures…", QKeySequence(Qt::Key_G), [this] { figures_->Show(); });
  actions_.openReference =
      add("Load reference…", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O), &Form1::LoadReference);
  actions_.showNext =
      add("Measurement, reference, difference", QKeySequence(Qt::Key_D), &Form1::ShowNextMap);
  actions_.dropReference =
      add("Drop the reference", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D), [this] {
        if (comparison_.HasReference()) RepaintAfter([this] { comparison_.DropReference(); });
      });
  actions_.openChannels = add("Open channels as positions…",
                              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M), &Form1::OpenChannels);
  actions_.longerSlices = add("Longer slices", QKeySequence(Qt::Key_T),
                              [this] { SetSliceLength(SteppedSliceLength(state_.Decimation, 1)); });
  actions_.shorterSlices = add("Shorter slices", QKeySequence(Qt::SHIFT | Qt::Key_T), [this] {
    SetSliceLength(SteppedSliceLength(state_.Decimation, -1));
  });
  actions_.sliceLength =
      add("Slice length…", QKeySequence(Qt::CTRL | Qt::Key_T), &Form1::AskSliceLength);
  actions_.exportGrid = add("Export grid…", QKeySequence(), &Form1::ExportGrid);
  actions_.exportProfiles = add("Export profiles…", QKeySequence(), [this] {
    RunIfIdle([this] {
      profiles_->Show();
      profiles_->Window()->SaveData();
    });
  });
  actions_.close = add("Close", QKeySequence(Qt::CTRL | Qt::Key_W), &Form1::CloseFile);
  actions_.quit = add("Quit", QKeySequence(Qt::CTRL | Qt::Key_Q), [this] { close(); });
  actions_.keys = add("Keys", QKeySequence(Qt::Key_F1), &Form1::ShowKeys);
  actions_.about = add("About MLS Vexal", QKeySequence(), &Form1::ShowAbout);
}

void Form1::ShowNextMap() {
  if (comparison_.HasReference()) RepaintAfter([this] { comparison_.ShowNext(); });
}

// The reference goes through the same dialog, prompts, messages and all-or-nothing rule as a
// Browse choice, with a peak of its own; the window's state and Text1 do not change.
void Form1::LoadReference() {
  RunIfIdle([this] {
    const auto chosen = dialogs_.OpenFile(this, BrowseSettings(LastOpenedFolder()));
    if (!chosen) return;
    WindowLoad load = LoadTelling(*chosen, 0.0f, state_.Decimation, host_, dialogs_, this, closed_);
    if (!load.measurement) return;
    comparison_.SetReference(std::move(*load.measurement), load.scale, *chosen);
    Draw(kAtOnce);  // the legend names the reference; a shown reference or difference changes
  });
}

void Form1::RepaintAfter(const std::function<void()>& change) {
  RunIfIdle([this, &change] {
    change();
    Draw(kAtOnce);
  });
}

void Form1::CloseFile() {
  RunIfIdle([this] {
    if (comparison_.HasReference()) comparison_.DropReference();
    state_.LevelGrid = LevelGrid();
    state_.SampleRate = 0;
    state_.PeakLevel = ViewState().PeakLevel;
    comparison_.SetMainScale(LevelScale::Decibel);
    mapFileName_.clear();
    rateSource_.clear();
    fileName_.Show("");
    setWindowTitle(kProgramName);
    Draw(kAtOnce);
  });
}

std::optional<std::string> Form1::PictureTooLarge() const {
  const QSize cells = View()->ZoomedMap();
  const bool legend = View()->LegendShown();
  // Grey pictures take a byte a pixel, colour and legend ones three; the legend and axes add at
  // most a few hundred pixels, counted generously.
  const int bytesPerPixel = legend || View()->ShownPalette() != Palette::Grey ? 3 : 1;
  const int around = legend ? View()->LegendWidth() + 400 : 0;
  return PictureSizeFault(std::int64_t{cells.width()} + around,
                          std::int64_t{cells.height()} + (legend ? 400 : 0), bytesPerPixel);
}

void Form1::SaveShownView() {
  RunIfIdle([this] {
    if (const auto fault = PictureTooLarge()) {
      return ShowFault("Cannot save the view: " + *fault + "; zoom out first.");
    }
    const auto path = dialogs_.SaveFile(this, "Save the view", SaveViewFilters());
    if (!path) return;
    std::optional<std::string> fault;
    try {
      fault = SaveView(View()->ShownView(), *path);
    } catch (const std::bad_alloc&) {
      fault = "Cannot save the view: there is not enough memory for the picture.";
    } catch (const std::exception& e) {  // DrawError
      fault = std::string("Cannot save the view: ") + e.what() + ".";
    }
    if (fault) return ShowFault(*fault);
    statusBar_->showMessage("Saved the view", 5000);
  });
}

void Form1::ExportGrid() {
  RunIfIdle([this] {
    const auto path =
        dialogs_.SaveFile(this, "Export the grid", {"NumPy array (*.npy)", "CSV text (*.csv)"});
    if (!path) return;
    const bool csv = path->size() >= 4 && path->compare(path->size() - 4, 4, ".csv") == 0;
    const LevelGrid& grid = comparison_.ShownState(state_).LevelGrid;
    const auto fault = SaveOutput(*path, [&grid, csv](int, std::ostream& out) {
      csv ? WriteCsv(grid, out) : WriteNpy(grid, out);
    });
    if (fault) return ShowFault(*fault);
    statusBar_->showMessage("Exported the grid", 5000);
  });
}

void Form1::CopyShownView() {
  RunIfIdle([this] {
    if (const auto fault = PictureTooLarge()) {
      return ShowFault("Cannot copy the view: " + *fault + "; zoom out first.");
    }
    try {
      const QImage view = View()->ShownView();
      if (view.isNull()) return;
      QGuiApplication::clipboard()->setImage(view);
    } catch (const std::bad_alloc&) {
      return ShowFault("Cannot copy the view: there is not enough memory for the picture.");
    } catch (const std::exception& e) {  // DrawError
      return ShowFault(std::string("Cannot copy the view: ") + e.what() + ".");
    }
    statusBar_->showMessage("Copied the view", 5000);
  });
}

// Form1's keyboard actions and its answers to the map view: a span stepped
// with the keys, the peak set to the map on screen, and the view saved to a file.

#include <QAction>

#include "figures_link.h"
#include "form1.h"
#include "profiles_link.h"
#include "recent_files.h"
#include "save_view.h"
#include "slice_length.h"
#include "window_load.h"

namespace {

const DrawOptions kAtOnce{std::chrono::steady_clock::duration::zero()};

}  // namespace

void Form1::AddActions() {
  const auto add = [this](const QString& text, const QKeySequence& keys, auto handler) {
    auto* action = new QAction(text, this);
    action->setShortcut(keys);
    connect(action, &QAction::triggered, this, handler);
    addAction(action);
  };
  add("Browse…", QKeySequence(Qt::CTRL | Qt::Key_O), &Form1::Command1_Click);
  add("Redraw…", QKeySequence(Qt::CTRL | Qt::Key_R), &Form1::Command2_Click);
  add("Stop painting, free the profiles", QKeySequence(Qt::Key_Escape), [this] {
    Picture1_Click();
    profiles_->Unpin();
  });
  add("Profiles…", QKeySequence(Qt::Key_P), [this] { profiles_->Show(); });
  add("Acoustic figures…", QKeySequence(Qt::Key_G), [this] { figures_->Show(); });
  add("Load reference…", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O), &Form1::LoadReference);
  add("Measurement, reference, difference", QKeySequence(Qt::Key_D), &Form1::ShowNextMap);
  add("Drop the reference", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D), [this] {
    if (comparison_.HasReference()) RepaintAfter([this] { comparison_.DropReference(); });
  });
  add("Open channels as positions…", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M),
      &Form1::OpenChannels);
  add("Longer slices", QKeySequence(Qt::Key_T),
      [this] { SetSliceLength(SteppedSliceLength(state_.Decimation, 1)); });
  add("Shorter slices", QKeySequence(Qt::SHIFT | Qt::Key_T),
      [this] { SetSliceLength(SteppedSliceLength(state_.Decimation, -1)); });
  add("Slice length…", QKeySequence(Qt::CTRL | Qt::Key_T), &Form1::AskSliceLength);
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

void Form1::SaveShownView() {
  RunIfIdle([this] {
    const auto path = dialogs_.SaveFile(this, "Save the view", SaveViewFilters());
    if (!path) return;
    if (const auto fault = SaveView(View()->ShownView(), *path)) ShowFault(*fault);
  });
}

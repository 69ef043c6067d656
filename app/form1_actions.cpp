// Form1's keyboard actions and its answers to the map view: a span stepped
// with the keys, the peak set to the map on screen, and the view saved to a file.

#include <QAction>

#include "form1.h"
#include "save_view.h"
#include "view_steps.h"

namespace {

const DrawOptions kAtOnce{std::chrono::steady_clock::duration::zero()};

}  // namespace

void Form1::AddActions() {
  const auto add = [this](const QString& text, const QKeySequence& keys, void (Form1::*handler)()) {
    auto* action = new QAction(text, this);
    action->setShortcut(keys);
    connect(action, &QAction::triggered, this, handler);
    addAction(action);
  };
  add("Browse…", QKeySequence(Qt::CTRL | Qt::Key_O), &Form1::Command1_Click);
  add("Redraw…", QKeySequence(Qt::CTRL | Qt::Key_R), &Form1::Command2_Click);
  add("Stop painting", QKeySequence(Qt::Key_Escape), &Form1::Picture1_Click);
}

void Form1::StepRange(int direction) {
  RunIfIdle([this, direction] {
    state_.RangeDb = SteppedRangeDb(state_.RangeDb, direction);
    Draw(kAtOnce);
  });
}

void Form1::ScaleToMap() {
  const std::optional<float> loudest = LoudestLevel(state_.LevelGrid);
  if (!loudest) return;
  RunIfIdle([this, loudest] {
    state_.PeakLevel = *loudest;
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

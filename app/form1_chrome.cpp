// Form1's menu bar, status bar and help windows around the designed controls.

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>

#include "form1.h"
#include "help_windows.h"
#include "picture_box.h"
#include "status_text.h"
#include "window_menus.h"
#include "window_messages.h"

void Form1::BuildMenus() {
  WindowMenus::Hooks hooks;
  hooks.busy = [this] { return Running(); };
  hooks.open = [this](const std::string& file) { Open(file); };
  hooks.beforeShow = [this] { UpdateEnabled(); };
  menus_ = new WindowMenus(*this, *menuBar_, *View(), actions_, std::move(hooks));
  // Any view action (zoom, palette, legend) changes what the status bar says.
  for (QAction* action : View()->Actions()) {
    connect(action, &QAction::triggered, this, &Form1::UpdateStatus, Qt::QueuedConnection);
  }
  connect(menus_->PaletteMenu(), &QMenu::triggered, this, &Form1::UpdateStatus,
          Qt::QueuedConnection);
}

// The designed controls keep their places and sizes below the menu bar; the window grows by the
// menu bar's and the status bar's heights.
void Form1::PlaceChrome() {
  statusLine_->setObjectName("StatusLine");
  statusLine_->setText("No file");
  statusBar_->addWidget(statusLine_, 1);
  statusBar_->setSizeGripEnabled(false);
  const int top = menuBar_->sizeHint().height();
  const int bottom = statusBar_->sizeHint().height();
  menuBar_->setGeometry(0, 0, width(), top);
  const std::initializer_list<QWidget*> controls = {View(), Text1(), Command1(), Command2(),
                                                    ProgressBar1()};
  for (QWidget* control : controls) {
    control->move(control->x(), control->y() + top);
  }
  setFixedSize(width(), height() + top + bottom);
  statusBar_->setGeometry(0, height() - bottom, width(), bottom);
  surface_.SetChrome(top, bottom);
  View()->SetChromeHeight(top + bottom);
}

int Form1::MenuBarHeight() const {
  return menuBar_->height();
}

int Form1::ChromeHeight() const {
  return menuBar_->height() + statusBar_->height();
}

QString Form1::StatusLine() const {
  StatusFacts facts;
  if (!mapFileName_.empty()) {
    const ShownMap shown = comparison_.Shown();
    facts.file = shown == ShownMap::Reference ? comparison_.ReferenceFileName() : mapFileName_;
    const QImage& cells = View()->Picture()->Cells();  // of the map shown
    facts.micCount = cells.width();
    facts.rowCount = cells.height();
    facts.sampleRate =
        shown == ShownMap::Reference ? comparison_.ReferenceSampleRate() : state_.SampleRate;
    if (shown != ShownMap::Reference && !rateSource_.empty() && rateSource_ != mapFileName_) {
      facts.rateSource = rateSource_;
    }
    facts.zoom = ZoomText(View()->CurrentZoom());
    facts.palette = PaletteName(View()->ShownPalette());
    facts.rangeDb = state_.RangeDb;
    facts.scale = comparison_.ShownScale(comparison_.MainScale());
    facts.mode = shown == ShownMap::Measurement ? "measurement"
                 : shown == ShownMap::Reference ? "reference"
                                                : "difference";
  }
  return StatusText(facts);
}

void Form1::UpdateStatus() {
  statusLine_->setText(StatusLine());
}

// Items that cannot act are disabled; their keys then do nothing either.
void Form1::UpdateEnabled() {
  const bool reference = comparison_.HasReference();
  actions_.showNext->setEnabled(reference);
  actions_.dropReference->setEnabled(reference);
  const bool map = state_.LevelGrid.MicCount() > 0 && state_.LevelGrid.RowCount() > 0;
  actions_.exportProfiles->setEnabled(map);
  actions_.exportGrid->setEnabled(map);
  actions_.close->setEnabled(!mapFileName_.empty());
}

void Form1::ShowBorrowedRate() {
  if (comparison_.Shown() != ShownMap::Measurement || state_.SampleRate == 0 ||
      rateSource_.empty() || rateSource_ == mapFileName_) {
    return;
  }
  View()->SetLegendNote(BorrowedRateText(rateSource_, state_.SampleRate));
}

void Form1::ShowKeys() {
  if (keysWindow_ == nullptr) {
    QList<QAction*> all = actions();  // the window's and the view's, in the order they were made
    keysWindow_ = MakeKeysWindow(this, all);
  }
  keysWindow_->show();
  keysWindow_->raise();
}

void Form1::ShowAbout() {
  RunIfIdle([this] { dialogs_.Information(this, AboutText().toStdString(), "About MLS Vexal"); });
}

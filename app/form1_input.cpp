// Form1's read-out over painted cells, the file dropped on the window, and the shortcuts.

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLocale>
#include <QScreen>
#include <QShortcut>

#include "cell_readout.h"
#include "dropped_file.h"
#include "form1.h"

namespace {
// From the cursor to the read-out's nearest corner, so that it leaves the cell itself free.
constexpr int kReadoutGap = 16;
}  // namespace

void Form1::ShowReadout(QPoint pixel, QPoint globalPos) {
  const std::int32_t column = pixel.x() + 1;
  const std::int32_t row = pixel.y() + 1;
  // Only cells that the last paint reached show the grid's levels.
  const bool painted = column >= 1 && row >= 1 && column <= paintedColumns_;
  const std::string text =
      painted ? CellReadout(state_, column, row, QLocale().decimalPoint().toStdString()) : "";
  if (text.empty()) {
    HideReadout();
    return;
  }
  readout_->setText(QString::fromStdString(text));
  readout_->adjustSize();
  // Below right of the cursor, or on the other side where the screen ends.
  QPoint at = globalPos + QPoint(kReadoutGap, kReadoutGap);
  if (const QScreen* shownOn = screen()) {
    const QRect area = shownOn->geometry();
    if (at.x() + readout_->width() > area.right()) {
      at.setX(globalPos.x() - kReadoutGap - readout_->width());
    }
    if (at.y() + readout_->height() > area.bottom()) {
      at.setY(globalPos.y() - kReadoutGap - readout_->height());
    }
  }
  readout_->move(at);
  readout_->show();
}

void Form1::HideReadout() {
  readout_->hide();
}

void Form1::AddShortcuts() {
  const auto add = [this](const QKeySequence& keys, void (Form1::*handler)()) {
    connect(new QShortcut(keys, this), &QShortcut::activated, this, handler);
  };
  add(QKeySequence(Qt::CTRL | Qt::Key_O), &Form1::Command1_Click);
  add(QKeySequence(Qt::CTRL | Qt::Key_R), &Form1::Command2_Click);
  add(QKeySequence(Qt::Key_Escape), &Form1::Picture1_Click);
}

void Form1::dragEnterEvent(QDragEnterEvent* event) {
  dragMoveEvent(event);
}

void Form1::dragMoveEvent(QDragMoveEvent* event) {
  if (!Running() && DroppedFile(*event->mimeData())) {
    event->acceptProposedAction();
  } else {
    event->ignore();
  }
}

void Form1::dropEvent(QDropEvent* event) {
  const std::optional<std::string> file = DroppedFile(*event->mimeData());
  if (Running() || !file) {
    event->ignore();
    return;
  }
  event->acceptProposedAction();
  // Loaded from the event loop, so that the drag's source is released first.
  QMetaObject::invokeMethod(
      this, [this, name = *file] { Form_FileDropped(name); }, Qt::QueuedConnection);
}

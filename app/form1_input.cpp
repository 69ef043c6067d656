// Form1's actions with their keys, and the file dropped on the window.

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>

#include "dropped_file.h"
#include "form1.h"

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

// The map view's actions (keys, context menu), the keys that scroll it and the wheel that scrolls
// or zooms it.

#include <QAction>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cstdlib>

#include "map_view.h"
#include "picture_box.h"

namespace {
bool Trigger(QScrollBar* bar, QAbstractSlider::SliderAction action) {
  if (bar == nullptr || bar->isHidden()) return false;
  bar->triggerAction(action);
  return true;
}
}  // namespace

void MapView::AddActions() {
  const auto add = [this](const QString& text, const QList<QKeySequence>& keys, auto slot) {
    auto* action = new QAction(text, this);
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, slot);
    parentWidget()->addAction(action);  // the keys work wherever the focus is in the window
    actions_.push_back(action);
    return action;
  };
  add("Zoom in",
      {QKeySequence(Qt::CTRL | Qt::Key_Equal), QKeySequence(Qt::CTRL | Qt::Key_Plus),
       QKeySequence(Qt::Key_Plus | Qt::KeypadModifier)},
      &MapView::ZoomIn);
  add("Zoom out", {QKeySequence(Qt::CTRL | Qt::Key_Minus)}, &MapView::ZoomOut);
  add("One pixel per cell", {QKeySequence(Qt::CTRL | Qt::Key_0)}, &MapView::ResetZoom);
  // Ctrl+Shift+= is Ctrl++ (zoom in) on layouts with + over =, so the columns widen with
  // Ctrl+Shift+Right; Ctrl+Shift+- and Ctrl+Shift+Left narrow them.
  add("Wider columns", {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Right)},
      &MapView::WidenColumns);
  add("Narrower columns",
      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Minus),
       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Left)},
      &MapView::NarrowColumns);
  add("Fit to the window", {QKeySequence(Qt::Key_F)}, [this] { Fit(FitMode::Stretched); });
  add("Fit with square cells", {QKeySequence(Qt::SHIFT | Qt::Key_F)},
      [this] { Fit(FitMode::Square); });
  add("Next palette", {QKeySequence(Qt::Key_C)}, [this] { SetPalette(NextPalette(palette_)); });
  add("Previous palette", {QKeySequence(Qt::SHIFT | Qt::Key_C)},
      [this] { SetPalette(PreviousPalette(palette_)); });
  add("Legend and axes", {QKeySequence(Qt::Key_L)}, [this] { SetLegendShown(!legend_); });
  add("Distance axis", {QKeySequence(Qt::Key_K)}, [this] { SetDistanceShown(!distance_); });
  add("Wider span", {QKeySequence(Qt::Key_BracketRight)}, [this] { emit rangeStepped(+1); });
  add("Narrower span", {QKeySequence(Qt::Key_BracketLeft)}, [this] { emit rangeStepped(-1); });
  add("Scale to this map", {QKeySequence(Qt::Key_M)}, [this] { emit scaleToMapRequested(); });
  add("Save view…", {QKeySequence(Qt::CTRL | Qt::Key_S)}, [this] { emit saveRequested(); });
  add("Copy view", {QKeySequence(Qt::CTRL | Qt::Key_C)}, [this] { emit copyRequested(); });
}

void MapView::contextMenuEvent(QContextMenuEvent* event) {
  if (contextMenu_ != nullptr && !contextMenu_->isVisible())
    contextMenu_->popup(event->globalPos());
}

void MapView::keyPressEvent(QKeyEvent* event) {
  // Home and End go to the ends of the scrolling direction, the vertical one first.
  QScrollBar* ends = vScroll_->isHidden() ? hScroll_ : vScroll_;
  bool used = false;
  // The keypad's + without Ctrl does not reach its shortcut under X11: taken here.
  if (event->key() == Qt::Key_Plus && (event->modifiers() & Qt::KeypadModifier)) {
    ZoomIn();
    event->accept();
    return;
  }
  switch (event->key()) {
    case Qt::Key_Up:
      used = Trigger(vScroll_, QAbstractSlider::SliderSingleStepSub);
      break;
    case Qt::Key_Down:
      used = Trigger(vScroll_, QAbstractSlider::SliderSingleStepAdd);
      break;
    case Qt::Key_Left:
      used = Trigger(hScroll_, QAbstractSlider::SliderSingleStepSub);
      break;
    case Qt::Key_Right:
      used = Trigger(hScroll_, QAbstractSlider::SliderSingleStepAdd);
      break;
    case Qt::Key_PageUp:
      used = Trigger(vScroll_, QAbstractSlider::SliderPageStepSub);
      break;
    case Qt::Key_PageDown:
      used = Trigger(vScroll_, QAbstractSlider::SliderPageStepAdd);
      break;
    case Qt::Key_Home:
      used = Trigger(ends, QAbstractSlider::SliderToMinimum);
      break;
    case Qt::Key_End:
      used = Trigger(ends, QAbstractSlider::SliderToMaximum);
      break;
    default:
      break;
  }
  if (used) {
    event->accept();
  } else {
    QWidget::keyPressEvent(event);
  }
}

void MapView::wheelEvent(QWheelEvent* event) {
  const QPoint delta = event->angleDelta();
  if (event->modifiers() & Qt::ControlModifier) {
    // Zoom about the cursor, one step a notch.
    const QPoint at = picture_->mapFrom(this, event->position().toPoint());
    const QImage& cells = picture_->Cells();
    const int most = MaxZoomOut(cells.width(), cells.height());
    const MapZoom now = CurrentZoom();
    const MapZoom zoom = delta.y() > 0
                             ? MapZoom(::ZoomIn(now.columns), ::ZoomIn(now.rows))
                             : MapZoom(::ZoomOut(now.columns, most), ::ZoomOut(now.rows, most));
    if (delta.y() != 0) SetZoom(zoom, at);
    event->accept();
    return;
  }
  // A sideways wheel moves the columns; an upright one the rows, or the columns of a map that
  // scrolls only sideways.
  const bool sideways = std::abs(delta.x()) > std::abs(delta.y());
  QScrollBar* bar = !sideways && !vScroll_->isHidden() ? vScroll_ : hScroll_;
  if (bar->isHidden()) {
    event->ignore();
    return;
  }
  QCoreApplication::sendEvent(bar, event);
}

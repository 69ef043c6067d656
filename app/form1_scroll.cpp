// Form1's scrolling of maps larger than the screen: the free client area, the scroll bars beside
// and under the picture, the keys and the wheel that move them, and the picture and the scale
// following them. Maps that fit have no scroll bars and an offset of 0.

#include <QCoreApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>
#include <algorithm>
#include <cstdlib>

#include "form1.h"
#include "picture_box.h"

namespace {

// Rows or columns that one arrow key moves.
constexpr int kArrowStep = 20;

bool Trigger(QScrollBar* bar, QAbstractSlider::SliderAction action) {
  if (bar == nullptr || bar->isHidden()) return false;
  bar->triggerAction(action);
  return true;
}

}  // namespace

QSize Form1::AvailableClientSize() const {
  const QScreen* shownOn = screen();
  if (shownOn == nullptr) return {design::kClientWidth, design::kClientHeight};
  // The frame is known once the window is shown; before that it counts as none.
  const QSize frame = frameGeometry().size() - geometry().size();
  return shownOn->availableGeometry().size() - frame;
}

int Form1::ScrollBarExtent() const {
  return style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, vScroll_);
}

void Form1::PlaceScrollBars(const WindowLayout& layout, const MapFit& fit) {
  const QRect picture = picture1_->geometry();
  const int bar = ScrollBarExtent();
  const auto place = [](QScrollBar* scrollBar, bool shown, std::int32_t total,
                        std::int32_t shownOuter, const QRect& at) {
    scrollBar->setRange(0, shown ? ScrollRange(total, shownOuter) : 0);
    scrollBar->setPageStep(std::max(1, shownOuter - 2 * kPictureBorder));
    scrollBar->setSingleStep(kArrowStep);
    scrollBar->setGeometry(at);
    scrollBar->setVisible(shown);
  };
  place(hScroll_, fit.scrollsX, layout.pictureOuterWidth - 2 * kPictureBorder, fit.pictureWidth,
        QRect(picture.x(), picture.y() + picture.height() + kPictureBorder, picture.width(), bar));
  place(vScroll_, fit.scrollsY, layout.pictureOuterHeight - 2 * kPictureBorder, fit.pictureHeight,
        QRect(fit.clientWidth - bar, picture.y(), bar, picture.height()));
  FollowScroll();
  if (fit.scrollsX || fit.scrollsY) KeepOnScreen();
}

void Form1::FollowScroll() {
  const QPoint offset(hScroll_->value(), vScroll_->value());
  if (offset == picture1_->Scroll()) return;
  HideReadout();  // another cell lies under the mouse now
  picture1_->SetScroll(offset);
  update();  // the scale moves with the rows
}

void Form1::KeepOnScreen() {
  const QScreen* shownOn = screen();
  if (shownOn == nullptr) return;
  const QRect available = shownOn->availableGeometry();
  const QRect frame = frameGeometry();
  const QPoint to(
      std::clamp(frame.x(), available.left(),
                 std::max(available.left(), available.left() + available.width() - frame.width())),
      std::clamp(frame.y(), available.top(),
                 std::max(available.top(), available.top() + available.height() - frame.height())));
  if (to != frame.topLeft()) move(to);
}

void Form1::keyPressEvent(QKeyEvent* event) {
  // Home and End go to the ends of the scrolling direction, the vertical one first.
  QScrollBar* ends = vScroll_->isHidden() ? hScroll_ : vScroll_;
  bool used = false;
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

void Form1::wheelEvent(QWheelEvent* event) {
  // A sideways wheel moves the columns; an upright one the rows, or the columns of a map that
  // scrolls only sideways.
  const QPoint delta = event->angleDelta();
  const bool sideways = std::abs(delta.x()) > std::abs(delta.y());
  QScrollBar* bar = !sideways && !vScroll_->isHidden() ? vScroll_ : hScroll_;
  if (bar->isHidden()) {
    event->ignore();
    return;
  }
  QCoreApplication::sendEvent(bar, event);
}

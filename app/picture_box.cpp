#include "picture_box.h"

#include <qdrawutil.h>
#include <QMouseEvent>
#include <QPainter>

#include "initial_image.h"
#include "window_layout.h"

namespace {
QColor Background() {
  return QColor(kPictureBackground, kPictureBackground, kPictureBackground);
}
}  // namespace

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
  setObjectName("Picture1");
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  ClearInterior(design::kPicture1.width - 2 * kPictureBorder,
                design::kPicture1.height - 2 * kPictureBorder);
}

void PictureBox::ClearInterior(std::int32_t width, std::int32_t height) {
  if (width <= 0 || height <= 0) {
    interior_ = QImage();
  } else {
    interior_ = QImage(width, height, QImage::Format_RGB32);
    if (interior_.isNull()) throw DrawError("there is not enough memory for the picture");
    interior_.fill(Background());
    QPainter painter(&interior_);
    painter.drawImage(0, 0, InitialImage());
  }
  update();
}

void PictureBox::PaintColumn(std::int32_t x, std::span<const std::uint8_t> greys) {
  if (x < 0 || x >= interior_.width()) return;
  const auto rows = static_cast<int>(std::min<std::size_t>(greys.size(), interior_.height()));
  uchar* bits = interior_.bits();
  const qsizetype stride = interior_.bytesPerLine();
  for (int r = 0; r < rows; ++r) {
    const std::uint8_t g = greys[static_cast<std::size_t>(r)];
    reinterpret_cast<QRgb*>(bits + r * stride)[x] = qRgb(g, g, g);
  }
  const QRect column =
      QRect(x, 0, 1, rows).translated(QPoint(kPictureBorder, kPictureBorder) - scroll_);
  const QRect shown = column.intersected(Inside());
  if (!shown.isEmpty()) update(shown);
  emit columnPainted(x);
}

void PictureBox::SetScroll(QPoint offset) {
  if (offset == scroll_) return;
  scroll_ = offset;
  update(Inside());
}

QRect PictureBox::Inside() const {
  return rect().adjusted(kPictureBorder, kPictureBorder, -kPictureBorder, -kPictureBorder);
}

void PictureBox::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  const QRect inside = Inside();
  // Only the part of the interior that needs repainting is copied; background where the
  // interior image does not reach.
  const QRect dirty = event->rect().intersected(inside);
  const QPoint origin = QPoint(kPictureBorder, kPictureBorder) - scroll_;
  const QRect image = interior_.rect().translated(origin);
  const QRect copied = dirty.intersected(image);
  if (!copied.isEmpty()) {
    painter.drawImage(copied.topLeft(), interior_, copied.translated(-origin));
  }
  if (copied != dirty) {
    painter.setClipRegion(QRegion(dirty).subtracted(copied));
    painter.fillRect(dirty, Background());
    painter.setClipping(false);
  }
  if (!inside.contains(event->rect())) {
    qDrawShadePanel(&painter, rect(), palette(), /*sunken=*/true, kPictureBorder);
  }
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
  // Accepted, so that the release comes here too.
  pressed_ = event->button() == Qt::LeftButton;
  event->accept();
  emit hoverEnded();
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
  const bool click =
      pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  pressed_ = false;
  event->accept();
  if (click) emit clicked();
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  const QPoint pixel = at - QPoint(kPictureBorder, kPictureBorder) + scroll_;
  if (event->buttons() == Qt::NoButton && Inside().contains(at) &&
      interior_.rect().contains(pixel)) {
    emit hovered(pixel, event->globalPosition().toPoint());
  } else {
    emit hoverEnded();
  }
}

void PictureBox::leaveEvent(QEvent*) {
  emit hoverEnded();
}

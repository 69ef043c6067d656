#include "picture_box.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "blank_map.h"
#include "map_geometry.h"
#include "map_region.h"
#include "reduce_loudest.h"
#include "view_legend.h"
#include "window_layout.h"

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
  setObjectName("Picture1");
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  ClearInterior(design::kPicture1.width - 2 * kPictureBorder,
                design::kPicture1.height - 2 * kPictureBorder);
}

void PictureBox::ClearInterior(std::int32_t width, std::int32_t height) {
  greys_ = QImage();
  reduced_ = QImage();
  paintedColumns_ = 0;
  greys_ = BlankMap(width, height);
  if (!greys_.isNull() && Reduced()) reduced_ = ReduceLoudest(greys_, OutX(), OutY());
  update();
}

void PictureBox::PaintColumn(std::int32_t x, std::span<const std::uint8_t> greys) {
  if (x < 0 || x >= greys_.width()) return;
  const auto rows = static_cast<int>(std::min<std::size_t>(greys.size(), greys_.height()));
  uchar* bits = greys_.bits();
  const qsizetype stride = greys_.bytesPerLine();
  for (int r = 0; r < rows; ++r) bits[r * stride + x] = greys[static_cast<std::size_t>(r)];
  paintedColumns_ = std::max(paintedColumns_, x + 1);
  if (Reduced()) ReduceColumn(x, greys.first(static_cast<std::size_t>(rows)));
  const QRect column = PixelRectOfCells(zoom_, QRect(x, 0, 1, rows))
                           .translated(QPoint(kPictureBorder, kPictureBorder) - scroll_);
  const QRect shown = column.intersected(Inside());
  if (!shown.isEmpty()) update(shown);
  emit columnPainted(x);
}

// Takes the newly painted cell column x, whose greys are `greys`, into its block column: the
// first column of a block starts it afresh, the others only lower it. Reads the column's own
// greys, not the image's rows (except below a column shorter than the image).
void PictureBox::ReduceColumn(std::int32_t x, std::span<const std::uint8_t> greys) {
  const int out = OutY();
  const bool fresh = x % OutX() == 0;
  uchar* block = reduced_.bits() + x / OutX();
  const qsizetype stride = reduced_.bytesPerLine();
  for (int blockY = 0; blockY < reduced_.height(); ++blockY, block += stride) {
    uchar loudest = fresh ? 255 : *block;
    const auto first = static_cast<std::size_t>(blockY) * static_cast<std::size_t>(out);
    const std::size_t last = std::min(greys.size(), first + static_cast<std::size_t>(out));
    for (std::size_t r = first; r < last; ++r) loudest = std::min(loudest, greys[r]);
    const int end = std::min(greys_.height(), (blockY + 1) * out);
    for (int r = std::max(static_cast<int>(last), blockY * out); r < end; ++r) {
      loudest = std::min(loudest, greys_.constScanLine(r)[x]);
    }
    *block = loudest;
  }
}

void PictureBox::SetZoom(MapZoom zoom) {
  if (zoom == zoom_) return;
  zoom_ = zoom;
  reduced_ = QImage();
  if (Reduced() && !greys_.isNull()) {
    // Unpainted columns must not take part in a block's loudest cell (a copy only while some
    // are left: it costs a byte a cell).
    reduced_ = paintedColumns_ >= greys_.width()
                   ? ReduceLoudest(greys_, OutX(), OutY())
                   : ReduceLoudest(greys_.copy(0, 0, std::max(paintedColumns_, 1), greys_.height()),
                                   OutX(), OutY());
    if (reduced_.width() * OutX() < greys_.width()) {
      QImage wide((greys_.width() + OutX() - 1) / OutX(), reduced_.height(),
                  QImage::Format_Grayscale8);
      wide.fill(static_cast<uint>(kPictureBackground));
      for (int y = 0; y < reduced_.height(); ++y) {
        std::copy_n(reduced_.constScanLine(y), reduced_.width(), wide.scanLine(y));
      }
      reduced_ = wide;
    }
  }
  update();
}

void PictureBox::SetPalette(Palette palette) {
  if (palette == palette_) return;
  palette_ = palette;
  update();
}

QSize PictureBox::MapPixels() const {
  return MapPixelSize(zoom_, greys_.width(), greys_.height());
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
  const QRect dirty = event->rect().intersected(Inside());
  if (!dirty.isEmpty()) {
    const QPoint origin = QPoint(kPictureBorder, kPictureBorder) - scroll_;
    // Along a direction at 1:out the reduced greys are the cells of a 1:1 view.
    const MapZoom shownZoom(zoom_.columns.out > 1 ? Zoom{} : zoom_.columns,
                            zoom_.rows.out > 1 ? Zoom{} : zoom_.rows);
    const std::int32_t painted = (paintedColumns_ + OutX() - 1) / OutX();
    painter.drawImage(dirty.topLeft(), MapRegion({&ShownGreys(), shownZoom, palette_, painted},
                                                 dirty.translated(-origin)));
    if (marker_) PaintMarker(painter, origin);
  }
  if (!Inside().contains(event->rect())) {
    PaintSunkenBorder(painter, rect(), palette().color(QPalette::Light),
                      palette().color(QPalette::Dark), kPictureBorder);
  }
}

// A one-pixel line through the middle of the marked cell's column and of its row, in a colour
// that no palette gives the map.
void PictureBox::PaintMarker(QPainter& painter, QPoint origin) const {
  const int x = origin.x() + static_cast<int>((marker_->x() + 0.5) * ZoomScale(zoom_.columns));
  const int y = origin.y() + static_cast<int>((marker_->y() + 0.5) * ZoomScale(zoom_.rows));
  painter.save();
  painter.setClipRect(Inside());
  painter.setPen(QColor(0, 200, 255));
  painter.drawLine(x, Inside().top(), x, Inside().bottom());
  painter.drawLine(Inside().left(), y, Inside().right(), y);
  painter.restore();
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
  if (!click) return;
  emit clicked();
  if (const auto cell = CellAt(event->position().toPoint())) emit cellClicked(*cell);
}

std::optional<QPoint> PictureBox::CellAt(QPoint at) const {
  const QPoint view = at - QPoint(kPictureBorder, kPictureBorder) + scroll_;
  const QPoint cell = CellAtPixel(zoom_, view);
  if (Inside().contains(at) && QRect(QPoint(0, 0), MapPixels()).contains(view) &&
      greys_.rect().contains(cell)) {
    return cell;
  }
  return std::nullopt;
}

void PictureBox::SetMarker(std::optional<QPoint> cell) {
  if (cell == marker_) return;
  marker_ = cell;
  update(Inside());
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
  const auto cell = CellAt(event->position().toPoint());
  if (event->buttons() == Qt::NoButton && cell) {
    emit hovered(*cell, event->globalPosition().toPoint());
  } else {
    emit hoverEnded();
  }
}

void PictureBox::leaveEvent(QEvent*) {
  emit hoverEnded();
}

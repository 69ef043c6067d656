// The legend of the map view, beside the time scale: a colour bar from the peak (top) to the
// span's end (bottom) with labelled levels, the peak and the unit above it, and the microphone
// numbers under the picture.

#include <QFontMetrics>
#include <QLocale>
#include <QPainter>
#include <QScrollBar>
#include <cmath>

#include "map_view.h"
#include "picture_box.h"

namespace {

constexpr int kGap = 8;  // between the scale's labels and the bar, and the bar and its labels
constexpr int kBarWidth = 14;
constexpr int kLevelLabels = 6;  // from the peak to the span's end

// The smallest of 1, 2, 5 x 10^n that keeps labels `width` pixels apart at `pixelsPerColumn`.
int MicStep(double pixelsPerColumn, int width) {
  for (int decade = 1;; decade *= 10) {
    for (const int unit : {1, 2, 5}) {
      if (unit * decade * pixelsPerColumn >= width) return unit * decade;
    }
    if (decade > 100000000) return decade;
  }
}

}  // namespace

int MapView::LegendWidth() const {
  if (!legend_) return 0;
  const QFontMetrics metrics(font());
  const QString widest = LevelText(levelScale_, -999.9, 1, QLocale().decimalPoint());
  const QString peak =
      "Peak " + LevelText(levelScale_, state_->PeakLevel, 1, QLocale().decimalPoint());
  const int labels = std::max({metrics.horizontalAdvance(widest), metrics.horizontalAdvance(peak),
                               metrics.horizontalAdvance(LevelUnitName(levelScale_))});
  int noteWidth = 0;
  for (const QString& line : legendNote_.split(u'\n', Qt::SkipEmptyParts)) {
    noteWidth = std::max(noteWidth, metrics.horizontalAdvance(line));
  }
  return kGap + kBarWidth + kGap + std::max(labels, noteWidth - kBarWidth - kGap) + kGap;
}

void MapView::PaintLegend(QPainter& painter) {
  const QRect picture = picture_->geometry();
  const QRect inside =
      picture.adjusted(kPictureBorder, kPictureBorder, -kPictureBorder, -kPictureBorder);
  const QFontMetrics metrics(font());
  const QString point = QLocale().decimalPoint();
  const int barLeft = picture.right() + 1 + kScaleRoom + kGap;
  const QRect bar(barLeft, inside.top(), kBarWidth, std::max(inside.height(), 2));

  // The bar: grey 0 (the peak) at the top to grey 255 at the bottom, in the view's palette.
  for (int y = 0; y < bar.height(); ++y) {
    const int grey = bar.height() > 1 ? (255 * y + (bar.height() - 1) / 2) / (bar.height() - 1) : 0;
    painter.setPen(QColor(PaletteColour(ShownPalette(), static_cast<std::uint8_t>(grey))));
    painter.drawLine(bar.left(), bar.top() + y, bar.right(), bar.top() + y);
  }
  painter.setPen(Qt::black);
  painter.drawRect(bar.adjusted(-1, -1, 0, 0));

  // Labelled levels from the peak down to the span's end.
  const int labelLeft = bar.right() + 1 + kGap;
  for (int i = 0; i < kLevelLabels; ++i) {
    const double share = static_cast<double>(i) / (kLevelLabels - 1);
    const int y = bar.top() + static_cast<int>(std::lround(share * (bar.height() - 1)));
    const double level = state_->PeakLevel - share * state_->RangeDb;
    painter.drawLine(bar.right() + 1, y, bar.right() + 4, y);
    painter.drawText(QPoint(labelLeft, y + metrics.ascent() / 2),
                     LevelText(levelScale_, level, 1, point));
  }
  // The peak and the unit above the bar, clear of the file name and the buttons.
  painter.drawText(QPoint(barLeft, inside.top() - kGap - metrics.descent() - metrics.height()),
                   "Peak " + LevelText(levelScale_, state_->PeakLevel, 1, point));
  painter.drawText(QPoint(barLeft, inside.top() - kGap - metrics.descent()),
                   LevelUnitName(levelScale_));
  // What is compared with what, under the bar's lowest label.
  int noteY = bar.bottom() + kGap + metrics.height() + metrics.ascent();
  for (const QString& line : legendNote_.split(u'\n', Qt::SkipEmptyParts)) {
    painter.drawText(QPoint(barLeft, noteY), line);
    noteY += metrics.height();
  }

  // Microphone numbers under the picture, following its horizontal scrolling.
  const double pixelsPerColumn = ZoomScale(CurrentZoom().columns);
  const int step = MicStep(pixelsPerColumn, metrics.horizontalAdvance("00000"));
  const int micCount = picture_->Cells().width();
  const int top = picture.bottom() + 1 + (hScroll_->isVisible() ? hScroll_->height() : 0);
  painter.save();
  painter.setClipRect(QRect(inside.left(), top, inside.width(), height() - top));
  for (int mic = step; mic <= micCount; mic += step) {
    const double centre = (mic - 0.5) * pixelsPerColumn - picture_->Scroll().x();
    const int x = inside.left() + static_cast<int>(std::floor(centre));
    if (x < inside.left() - 50 || x > inside.right() + 50) continue;
    const QString label = QString::number(mic);
    painter.drawLine(x, top, x, top + 3);
    painter.drawText(QPoint(x - metrics.horizontalAdvance(label) / 2, top + 4 + metrics.ascent()),
                     label);
  }
  painter.restore();
}

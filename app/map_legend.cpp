// The legend of the map view, beside the time scale: the peak and the unit, under them a colour
// bar from the peak (top) to the span's end (bottom) with labelled levels, and the microphone
// numbers with their caption under the picture.

#include <QFontMetrics>
#include <QLocale>
#include <QPainter>
#include <QScrollBar>
#include <cmath>
#include <limits>
#include <vector>

#include "map_view.h"
#include "picture_box.h"
#include "view_image.h"
#include "window_layout.h"

namespace {

constexpr int kGap = 8;  // between the scale's labels and the bar, and the bar and its labels
constexpr int kBarWidth = 14;
constexpr int kLevelLabels = 6;  // from the peak to the span's end
constexpr int kMicTextDrop = 4;  // from the picture's bottom to the microphone numbers

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
  return TimeLabelsRoom() - kScaleRoom + kGap + kBarWidth + kGap +
         std::max(labels, noteWidth - kBarWidth - kGap) + kGap;
}

int MapView::LegendClientHeight(int pictureOuterHeight, int barHeight) const {
  if (!legend_) return 0;
  const QFontMetrics metrics(font());
  const int line = metrics.height();
  const int notes = static_cast<int>(legendNote_.split(u'\n', Qt::SkipEmptyParts).size());
  const int top = design::kPicture1.top + kPictureBorder;
  const int column = top + 2 * line + kGap + kLevelLabels * line + line / 2 + notes * line + kGap;
  const int underMap =
      design::kPicture1.top + pictureOuterHeight + barHeight + kMicTextDrop + 2 * line + 2;
  return std::max(column, underMap);
}

// The legend right of the time scale: the peak and the unit level with the map's top, the colour
// bar under them, what is compared under the bar; all below the designed controls. Under the map
// the microphone numbers (the first, the last and round steps between) and their caption.
void MapView::PaintLegend(QPainter& painter) {
  const QRect picture = picture_->geometry();
  const QRect inside =
      picture.adjusted(kPictureBorder, kPictureBorder, -kPictureBorder, -kPictureBorder);
  const QFontMetrics metrics(font());
  const int line = metrics.height();
  const QString point = QLocale().decimalPoint();
  const int barLeft = picture.right() + 1 + TimeLabelsRoom() + kGap;
  // The difference map's top is the span's end above zero: "± 60.0", not a peak.
  const bool difference = ShownPalette() == Palette::Difference;
  painter.drawText(QPoint(barLeft, inside.top() + metrics.ascent()),
                   (difference ? QString::fromUtf8("\u00b1 ") : QStringLiteral("Peak ")) +
                       LevelText(levelScale_, state_->PeakLevel, 1, point));
  painter.drawText(QPoint(barLeft, inside.top() + line + metrics.ascent()),
                   LevelUnitName(levelScale_));
  const int barTop = inside.top() + 2 * line + kGap;
  const QRect bar(barLeft, barTop, kBarWidth,
                  std::max(inside.bottom() - barTop, kLevelLabels * line));

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
  // What is compared with what, under the bar's lowest label.
  int noteY = bar.bottom() + kGap + line + metrics.ascent();
  for (const QString& note : legendNote_.split(u'\n', Qt::SkipEmptyParts)) {
    painter.drawText(QPoint(barLeft, noteY), note);
    noteY += line;
  }
  PaintColumnAxis(painter);
}

void MapView::PaintColumnAxis(QPainter& painter) {
  const QRect picture = picture_->geometry();
  const QRect inside =
      picture.adjusted(kPictureBorder, kPictureBorder, -kPictureBorder, -kPictureBorder);
  const QFontMetrics metrics(font());
  const double pixelsPerColumn = ZoomScale(CurrentZoom().columns);
  const int micCount = picture_->Cells().width();
  const int widest = metrics.horizontalAdvance(QString::number(std::max(micCount, 1)));
  const int spacing = widest + metrics.height();
  const int step = MicStep(pixelsPerColumn, spacing);
  const int top = picture.bottom() + 1 + (hScroll_->isVisible() ? hScroll_->height() : 0);
  const int numbersTop = top + kMicTextDrop;
  painter.drawText(QPoint(inside.left(), numbersTop + metrics.height() + metrics.ascent()),
                   ColumnCaption(state_->Columns.word, state_->Columns.source));
  if (micCount < 1) return;
  // Microphone mic's label, centred under its column where it is on screen; its left end.
  const auto labelAt = [&](int mic) {
    const double centre = (mic - 0.5) * pixelsPerColumn - picture_->Scroll().x();
    return inside.left() + static_cast<int>(std::floor(centre));
  };
  std::vector<int> mics{1};
  for (int mic = step; mic < micCount; mic += step) {
    if (mic > 1) mics.push_back(mic);
  }
  if (micCount > 1) mics.push_back(micCount);
  // Right to left from the last, so that the first and the last always show; a step's label
  // too close to a shown one gives way.
  int shownLeft = std::numeric_limits<int>::max();
  std::vector<int> shown;
  for (auto it = mics.rbegin(); it != mics.rend(); ++it) {
    const int x = labelAt(*it);
    const int half = metrics.horizontalAdvance(QString::number(*it)) / 2;
    const bool ends = *it == 1 || *it == micCount;
    if (!ends && x + half + metrics.height() / 2 > shownLeft) continue;
    if (*it == 1 && shown.size() == 1 && x + half + 4 > shownLeft) continue;  // beside the last
    shown.push_back(*it);
    shownLeft = x - half;
  }
  for (const int mic : shown) {
    const int x = labelAt(mic);
    if (x < inside.left() - 1 || x > inside.right() + 1) continue;  // scrolled away
    const QString label = QString::number(mic);
    painter.drawLine(x, top, x, top + 3);
    painter.drawText(
        QPoint(x - metrics.horizontalAdvance(label) / 2, numbersTop + metrics.ascent()), label);
  }
}

// The axes and the legend around the map, and the view that holds them with the map's picture.

#include "view_legend.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QLocale>
#include <QPainter>
#include <QPalette>
#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "draw_error.h"
#include "map_geometry.h"
#include "map_region.h"
#include "reduce_loudest.h"
#include "row_scale.h"

namespace {

constexpr int kGap = 8;  // between the scale's labels and the bar, and the bar and its labels
constexpr int kBarWidth = 14;
constexpr int kLevelLabels = 6;  // from the peak to the span's end
constexpr int kMicTextDrop = 4;  // from the picture's bottom to the microphone numbers

QStringList NoteLines(const LegendFacts& facts) {
  return facts.note.split(u'\n', Qt::SkipEmptyParts);
}

double RowsPerMs(const LegendFacts& facts) {
  return facts.sampleRate > 0 && facts.decimation > 0
             ? static_cast<double>(facts.sampleRate) / facts.decimation / 1000.0
             : 0.0;
}

// A tick's label, with the distance sound travels in its time when that is shown.
QString LabelWithDistance(const TimeTick& tick, const TimeScale& scale, bool distance) {
  if (!distance || scale.unit != QStringLiteral("ms")) return tick.label;
  return tick.label + QStringLiteral("  ") +
         QString::number(tick.label.toDouble() * kSoundMetresPerMs, 'f', DistanceDecimals(scale)) +
         QStringLiteral(" m");
}

// The smallest of 1, 2, 5 x 10^n that keeps labels `width` pixels apart at `pixelsPerColumn`.
int MicStep(double pixelsPerColumn, int width) {
  for (int decade = 1;; decade *= 10) {
    for (const int unit : {1, 2, 5}) {
      if (unit * decade * pixelsPerColumn >= width) return unit * decade;
    }
    if (decade > 100000000) return decade;
  }
}

QRect Inside(const QRect& picture) {
  return picture.adjusted(kPictureBorder, kPictureBorder, -kPictureBorder, -kPictureBorder);
}

// The microphone numbers (the first, the last and round steps between) and their caption.
void PaintColumnAxis(QPainter& painter, const QFontMetrics& metrics, const AxesPlace& place,
                     Zoom columns, const LegendFacts& facts) {
  const QRect inside = Inside(place.picture);
  const double pixelsPerColumn = ZoomScale(columns);
  const int micCount = facts.micCount;
  const int widest = metrics.horizontalAdvance(QString::number(std::max(micCount, 1)));
  const int step = MicStep(pixelsPerColumn, widest + metrics.height());
  const int top = place.picture.bottom() + 1 + place.underPicture;
  const int numbersTop = top + kMicTextDrop;
  painter.drawText(QPoint(inside.left(), numbersTop + metrics.height() + metrics.ascent()),
                   ColumnCaption(facts.columnWord, facts.columnSource));
  if (micCount < 1) return;
  // Microphone mic's label, centred under its column where it is on screen; its left end.
  const auto labelAt = [&](int mic) {
    const double centre = (mic - 0.5) * pixelsPerColumn - place.scroll.x();
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

}  // namespace

int TimeLabelsRoom(const QFont& font, const LegendFacts& facts, Zoom rows) {
  const QFontMetrics metrics(font);
  const TimeScale scale = WidestTimeTicks(facts.rowCount, RowsPerMs(facts), ZoomScale(rows));
  int widest = 0;
  for (const TimeTick& tick : scale.ticks) {
    widest =
        std::max(widest, metrics.horizontalAdvance(LabelWithDistance(tick, scale, facts.distance)));
  }
  return std::max(kScaleRoom, kTickLength + widest + 2);
}

int LegendBesideScale(const QFont& font, const LegendFacts& facts) {
  const QFontMetrics metrics(font);
  const QString point = QLocale().decimalPoint();
  const QString widest = LevelText(facts.scale, -999.9, 1, point);
  const QString peak = "Peak " + LevelText(facts.scale, facts.peakLevel, 1, point);
  const int labels = std::max({metrics.horizontalAdvance(widest), metrics.horizontalAdvance(peak),
                               metrics.horizontalAdvance(LevelUnitName(facts.scale))});
  int noteWidth = 0;
  for (const QString& line : NoteLines(facts)) {
    noteWidth = std::max(noteWidth, metrics.horizontalAdvance(line));
  }
  return kGap + kBarWidth + kGap + std::max(labels, noteWidth - kBarWidth - kGap) + kGap;
}

int LegendDepth(const QFont& font, const LegendFacts& facts, int pictureOuterHeight,
                int underPicture) {
  const QFontMetrics metrics(font);
  const int line = metrics.height();
  const auto notes = static_cast<int>(NoteLines(facts).size());
  const int column =
      kPictureBorder + 2 * line + kGap + kLevelLabels * line + line / 2 + notes * line + kGap;
  const int underMap = pictureOuterHeight + underPicture + kMicTextDrop + 2 * line + 2;
  return std::max(column, underMap);
}

// The unit stands beside the top label ("0 ms"), or under it where the room is too narrow.
void PaintTimeAxis(QPainter& painter, const QFont& font, const AxesPlace& place, Zoom rows,
                   const LegendFacts& facts) {
  const QRect& picture = place.picture;
  const auto edge = static_cast<float>(picture.x() + picture.width());
  const double scrolled = place.scroll.y();
  const double rowScale = ZoomScale(rows);
  // Only the ticks on screen, and one beyond each end for labels reaching in.
  const TimeScale scale = TimeTicks(facts.rowCount, RowsPerMs(facts), rowScale,
                                    (scrolled - kTimeLabelSpacing) / rowScale,
                                    (scrolled + picture.height() + kTimeLabelSpacing) / rowScale);
  const bool rate = scale.unit == QStringLiteral("ms");
  // Milliseconds from the picture's outer top, as designed; rows on their pixel row inside the
  // border.
  const double zero = picture.y() + (rate ? 0 : kPictureBorder);
  painter.save();
  painter.setFont(font);
  painter.setPen(ViewForeground());
  const QFontMetrics metrics(font);
  double lastLabel = -1e300;
  bool first = true;
  const int room = TimeLabelsRoom(font, facts, rows) - kTickLength - 1;
  const auto rowOf = [&](const TimeTick& tick) {
    const double along = tick.offsetRows * rowScale;
    return zero + (rate ? along : std::floor(along)) - scrolled;
  };
  for (std::size_t i = 0; i < scale.ticks.size(); ++i) {
    const TimeTick& tick = scale.ticks[i];
    const bool top = std::exchange(first, false);
    const double y = rowOf(tick);
    if (place.scrollsY && (y < picture.y() || y > picture.y() + picture.height())) continue;
    const auto lineY = static_cast<float>(y);
    painter.drawLine(QPointF(edge, lineY), QPointF(edge + kTickLength, lineY));
    if (y - lastLabel < metrics.height()) continue;
    const QRectF box(edge + kTickLength, lineY - kTickLabelRise, 100, 100);
    const QString label = LabelWithDistance(tick, scale, facts.distance);
    const QString withUnit = tick.label + u' ' + scale.unit + label.mid(tick.label.size());
    if (top && metrics.horizontalAdvance(withUnit) <= room) {
      painter.drawText(box, Qt::AlignLeft | Qt::AlignTop, withUnit);
    } else {
      painter.drawText(box, Qt::AlignLeft | Qt::AlignTop, label);
      // The unit on the line under the top label, when the next label leaves room for it.
      const double next = i + 1 < scale.ticks.size() ? rowOf(scale.ticks[i + 1]) : 1e300;
      if (top && next - y >= 2 * metrics.height()) {
        painter.drawText(box.translated(0, metrics.height()), Qt::AlignLeft | Qt::AlignTop,
                         scale.unit);
        lastLabel = y + metrics.height();
        continue;
      }
    }
    lastLabel = y;
  }
  painter.restore();
}

// The peak and the unit level with the map's top, the colour bar under them, what is compared
// under the bar; under the map the microphone axis.
void PaintLegend(QPainter& painter, const QFont& font, const AxesPlace& place, MapZoom zoom,
                 Palette palette, const LegendFacts& facts) {
  const QRect inside = Inside(place.picture);
  painter.save();
  painter.setFont(font);
  const QColor foreground = ViewForeground();
  painter.setPen(foreground);
  const QFontMetrics metrics(font);
  const int line = metrics.height();
  const QString point = QLocale().decimalPoint();
  const int barLeft = place.picture.right() + 1 + TimeLabelsRoom(font, facts, zoom.rows) + kGap;
  // The difference map's top is the span's end above zero: "± 60.0", not a peak.
  const bool difference = palette == Palette::Difference;
  painter.drawText(QPoint(barLeft, inside.top() + metrics.ascent()),
                   (difference ? QString::fromUtf8("\u00b1 ") : QStringLiteral("Peak ")) +
                       LevelText(facts.scale, facts.peakLevel, 1, point));
  painter.drawText(QPoint(barLeft, inside.top() + line + metrics.ascent()),
                   LevelUnitName(facts.scale));
  const int barTop = inside.top() + 2 * line + kGap;
  const QRect bar(barLeft, barTop, kBarWidth,
                  std::max(inside.bottom() - barTop, kLevelLabels * line));

  // The bar: grey 0 (the peak) at the top to grey 255 at the bottom, in the view's palette.
  for (int y = 0; y < bar.height(); ++y) {
    const int grey = bar.height() > 1 ? (255 * y + (bar.height() - 1) / 2) / (bar.height() - 1) : 0;
    painter.setPen(QColor(PaletteColour(palette, static_cast<std::uint8_t>(grey))));
    painter.drawLine(bar.left(), bar.top() + y, bar.right(), bar.top() + y);
  }
  painter.setPen(foreground);
  painter.drawRect(bar.adjusted(-1, -1, 0, 0));

  // Labelled levels from the peak down to the span's end.
  const int labelLeft = bar.right() + 1 + kGap;
  for (int i = 0; i < kLevelLabels; ++i) {
    const double share = static_cast<double>(i) / (kLevelLabels - 1);
    const int y = bar.top() + static_cast<int>(std::lround(share * (bar.height() - 1)));
    const double level = facts.peakLevel - share * facts.rangeDb;
    painter.drawLine(bar.right() + 1, y, bar.right() + 4, y);
    painter.drawText(QPoint(labelLeft, y + metrics.ascent() / 2),
                     LevelText(facts.scale, level, 1, point));
  }
  int noteY = bar.bottom() + kGap + line + metrics.ascent();
  for (const QString& note : NoteLines(facts)) {
    painter.drawText(QPoint(barLeft, noteY), note);
    noteY += line;
  }
  PaintColumnAxis(painter, metrics, place, zoom.columns, facts);
  painter.restore();
}

void PaintSunkenBorder(QPainter& painter, const QRect& rect, const QColor& light,
                       const QColor& dark, int width) {
  const int x = rect.x();
  const int y = rect.y();
  const int w = rect.width();
  const int h = rect.height();
  for (int i = 0; i < width; ++i) {
    painter.fillRect(QRect(x, y + i, w - 1 - i, 1), dark);                   // top
    painter.fillRect(QRect(x + i, y, 1, h - 1 - i), dark);                   // left
    painter.fillRect(QRect(x + i, y + h - 1 - i, w - i, 1), light);          // bottom
    painter.fillRect(QRect(x + w - 1 - i, y + i, 1, h - i - width), light);  // right
  }
}

QImage ShownMapImage(const QImage& greys, std::int32_t paintedColumns, MapZoom zoom,
                     Palette palette, const LegendFacts& facts, const QFont& font,
                     QSize pictureSize) {
  const std::int64_t width = std::int64_t{kViewPictureAt.x()} + pictureSize.width() +
                             TimeLabelsRoom(font, facts, zoom.rows) +
                             LegendBesideScale(font, facts);
  const std::int64_t height =
      std::int64_t{kViewPictureAt.y()} + LegendDepth(font, facts, pictureSize.height(), 0);
  if (width > kMaxSide || height > kMaxSide) throw DrawError("the picture is too large to make");
  QImage view(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
  if (view.isNull()) throw DrawError("there is not enough memory for the picture");
  view.fill(ViewBackground());

  AxesPlace place;
  place.picture = QRect(kViewPictureAt, pictureSize);
  const QRect inside = Inside(place.picture);
  QPainter painter(&view);
  if (!greys.isNull() && !inside.isEmpty()) {
    // Along a direction at 1:out the loudest cells of each block are the cells of a 1:1 view.
    const int outX = std::max(zoom.columns.out, 1);
    const int outY = std::max(zoom.rows.out, 1);
    const QImage shown = outX > 1 || outY > 1 ? ReduceLoudest(greys, outX, outY) : greys;
    const MapZoom shownZoom(outX > 1 ? Zoom{} : zoom.columns, outY > 1 ? Zoom{} : zoom.rows);
    const std::int32_t painted = (paintedColumns + outX - 1) / outX;
    painter.drawImage(inside.topLeft(), MapRegion({&shown, shownZoom, palette, painted},
                                                  QRect(QPoint(), inside.size())));
  }
  const QPalette colours = QGuiApplication::palette();
  PaintSunkenBorder(painter, place.picture, colours.color(QPalette::Light),
                    colours.color(QPalette::Dark), kPictureBorder);
  PaintLegend(painter, font, place, zoom, palette, facts);
  PaintTimeAxis(painter, font, place, zoom.rows, facts);
  return view;
}

QColor ViewBackground() {
  if (qGuiApp == nullptr) return QColor(240, 240, 240);
  return QGuiApplication::palette().color(QPalette::Window);
}

QColor ViewForeground() {
  return ViewBackground().lightness() < 128 ? QColor(Qt::white) : QColor(Qt::black);
}

QString ColumnCaption(const std::string& word, const std::string& source) {
  QString caption = QString::fromStdString(word);
  if (!source.empty()) caption += QString::fromUtf8(" \u2014 ") + QString::fromStdString(source);
  return caption;
}

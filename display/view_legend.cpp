// The frame of a view with legend and axes, and their painting.

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

#include "row_scale.h"
#include "view_image.h"

namespace {

constexpr int kMargin = 10;  // around the whole view
constexpr int kTick = 5;     // length of a tick
constexpr int kTextGap = 3;  // between a tick and its label
constexpr int kBarGap = 24;  // between the time labels and the colour bar
constexpr int kBarWidth = 18;
constexpr int kBarHeight = 256;  // one row per grey
constexpr std::int64_t kIntMax = std::numeric_limits<int>::max();
constexpr std::int64_t kLargestDecade = 1'000'000'000'000'000;

// Everything the fonts say about the layout.
struct TextMetrics {
  QFontMetrics metrics{QFont()};
  int line = metrics.height();
  int Width(const QString& text) const { return metrics.horizontalAdvance(text); }
  // Rows between the top of the view and the cells: two caption lines, then half a line for the
  // labels centred on the cells' top row.
  int CellsTop() const { return kMargin + 2 * line + line / 2 + 2; }
  int CaptionTop(int index) const { return kMargin + index * line; }
  // Below the microphone ticks, clear of the time labels centred on the cells' bottom row.
  int MicTextDrop() const { return std::max(kTick + kTextGap, line / 2 + 2); }
};

void RequireGui() {
  if (qGuiApp == nullptr) throw std::logic_error("the legend needs a QGuiApplication for its font");
}

bool HasRate(const LegendFacts& facts) {
  return facts.sampleRate > 0 && facts.decimation > 0;
}

QString TimeCaption(const LegendFacts& facts) {
  return HasRate(facts) ? QStringLiteral("ms") : QStringLiteral("row");
}
QString LevelCaption(const LegendFacts& facts) {
  return QStringLiteral("Level (%1)").arg(LevelUnitName(facts.scale));
}
QString MicCaption(const LegendFacts& facts) {
  return ColumnCaption(facts.columnWord, facts.columnSource);
}

// A label `offset` pixels along its axis.
struct Mark {
  std::int64_t offset;
  QString label;
};

// Floor of offset x the zoom's scale: the view pixel row of a row offset.
std::int64_t PixelOfOffset(Zoom zoom, double offset) {
  const double pixel = offset * ZoomScale(zoom);
  return static_cast<std::int64_t>(std::floor(std::min(pixel, 1e18)));
}

double RowsPerMs(const LegendFacts& facts) {
  return HasRate(facts) ? static_cast<double>(facts.sampleRate) / facts.decimation / 1000.0 : 0.0;
}

// The time (or row) ticks within the first `height` pixel rows, top to bottom.
std::vector<Mark> TimeMarks(const LegendFacts& facts, Zoom zoom, std::int64_t height) {
  std::vector<Mark> marks;
  const double rows = static_cast<double>(height) / ZoomScale(zoom);
  for (const TimeTick& tick :
       TimeTicks(facts.rowCount, RowsPerMs(facts), ZoomScale(zoom), 0.0, rows).ticks) {
    const std::int64_t pixel = PixelOfOffset(zoom, tick.offsetRows);
    // A tick on the data's end (the cells' bottom edge) stands on the last pixel row.
    if (pixel <= height && height > 0) marks.push_back({std::min(pixel, height - 1), tick.label});
  }
  return marks;
}

int WidestTimeLabel(const LegendFacts& facts, const TextMetrics& text) {
  int widest = text.Width(TimeCaption(facts));
  const Zoom zoom = facts.pixelsPerRow >= 1.0
                        ? Zoom{static_cast<int>(facts.pixelsPerRow), 1}
                        : Zoom{1, static_cast<int>(std::lround(1.0 / facts.pixelsPerRow))};
  for (const TimeTick& tick :
       WidestTimeTicks(facts.rowCount, RowsPerMs(facts), ZoomScale(zoom)).ticks) {
    widest = std::max(widest, text.Width(tick.label));
  }
  return widest;
}

// Level labels at round values (1, 2 or 5 x 10^n apart, about six of them) between the ends of
// the span; offsets are rows of a bar of `barHeight` rows. None for a span that is 0 or not finite.
struct LevelMarks {
  std::vector<Mark> marks;
  QString peak;
};

LevelMarks LevelMarksOf(const LegendFacts& facts, int barHeight) {
  const double peak = facts.peakLevel;
  const double range = facts.rangeDb;
  LevelMarks result;
  int decimals = 1;
  if (std::isfinite(peak) && std::isfinite(range) && range != 0.0) {
    const double wanted = std::abs(range) / 6.0;
    int exponent = static_cast<int>(std::floor(std::log10(wanted)));
    double step = 0.0;
    for (const double mantissa : {1.0, 2.0, 5.0, 10.0}) {
      step = mantissa * std::pow(10.0, exponent);
      if (step >= wanted * (1.0 - 1e-12)) break;
    }
    if (step >= 10.0 * std::pow(10.0, exponent) * (1.0 - 1e-12)) ++exponent;
    decimals = std::clamp(-exponent, 0, 9);
    const double low = std::min(peak, peak - range);
    const double high = std::max(peak, peak - range);
    const double first = std::ceil(low / step) * step;
    // Counted, not stepped until `high`: beside a huge peak a step may not change the value.
    for (int i = 0; i < 8; ++i) {
      const double value = first + i * step;
      if (value > high) break;
      const double row = std::round((peak - value) / range * (barHeight - 1));
      const auto offset = static_cast<std::int64_t>(std::clamp(row, 0.0, barHeight - 1.0));
      result.marks.push_back({offset, LevelText(facts.scale, value, decimals)});
    }
    // Top to bottom, one label a row.
    // (std::algorithms rather than ranges: clang 14 cannot build ranges over libstdc++ 12.)
    std::sort(result.marks.begin(), result.marks.end(),
              [](const Mark& a, const Mark& b) { return a.offset < b.offset; });
    result.marks.erase(
        std::unique(result.marks.begin(), result.marks.end(),
                    [](const Mark& a, const Mark& b) { return a.offset == b.offset; }),
        result.marks.end());
    decimals = std::min(decimals + 1, 9);
  }
  result.peak = QStringLiteral("Peak ") + LevelText(facts.scale, facts.peakLevel, decimals);
  return result;
}

// Centre of the view pixels of microphone `mic` (1-based) along the map.
std::int64_t MicPixel(Zoom zoom, std::int64_t mic) {
  if (zoom.out > 1) return (mic - 1) / zoom.out;
  const int in = std::max(zoom.in, 1);
  return (mic - 1) * in + in / 2;
}

// The first microphone whose pixels lie at or right of pixel (pixel >= 0).
std::int64_t MicAtPixel(Zoom zoom, std::int64_t pixel) {
  if (zoom.out > 1) return pixel * zoom.out + 1;
  return pixel / std::max(zoom.in, 1) + 1;
}

// The smallest of 1, 2, 5 x 10^n microphones whose label centres lie at least `spacing` pixels
// apart (at 1:out a pixel less, for the rounding of the block).
std::int64_t MicStep(Zoom zoom, int spacing) {
  for (std::int64_t decade = 1;; decade *= 10) {
    for (const std::int64_t mantissa : {1, 2, 5}) {
      const std::int64_t step = mantissa * decade;
      const std::int64_t apart = zoom.out > 1 ? step / zoom.out - 1 : step * std::max(zoom.in, 1);
      if (apart >= spacing || decade >= kLargestDecade) return step;
    }
  }
}

// The four sides of `rect`, one pixel outside it.
void Outline(QPainter& painter, const QRect& rect, const QColor& colour) {
  if (rect.isEmpty()) return;
  const QRect around = rect.adjusted(-1, -1, 1, 1);
  painter.fillRect(QRect(around.left(), around.top(), around.width(), 1), colour);
  painter.fillRect(QRect(around.left(), around.bottom(), around.width(), 1), colour);
  painter.fillRect(QRect(around.left(), rect.top(), 1, rect.height()), colour);
  painter.fillRect(QRect(around.right(), rect.top(), 1, rect.height()), colour);
}

// Everything of the view outside the cells.
void FillAround(QPainter& painter, const QSize& size, const QRect& cells, const QColor& colour) {
  const QRect view(QPoint(0, 0), size);
  if (cells.isEmpty()) {
    painter.fillRect(view, colour);
    return;
  }
  painter.fillRect(QRect(0, 0, size.width(), cells.top()), colour);
  painter.fillRect(QRect(QPoint(0, cells.bottom() + 1), view.bottomRight()), colour);
  painter.fillRect(QRect(0, cells.top(), cells.left(), cells.height()), colour);
  painter.fillRect(
      QRect(QPoint(cells.right() + 1, cells.top()), QPoint(view.right(), cells.bottom())), colour);
}

// A label whose left end is at x, centred vertically on pixel row y.
void LabelRightOf(QPainter& painter, const TextMetrics& text, std::int64_t x, std::int64_t y,
                  const QString& label) {
  const QRect box(static_cast<int>(x), static_cast<int>(y - text.line / 2), text.Width(label) + 2,
                  text.line);
  painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, label);
}

// Ticks right of x = tickLeft at `top` + each offset, labelled where a label clears the one before.
void PaintSideMarks(QPainter& painter, const TextMetrics& text, int tickLeft, int top,
                    const std::vector<Mark>& marks, const QColor& colour) {
  std::int64_t lastLabel = std::numeric_limits<std::int64_t>::min() / 2;
  for (const Mark& mark : marks) {
    const std::int64_t y = top + mark.offset;
    painter.fillRect(QRect(tickLeft, static_cast<int>(y), kTick, 1), colour);
    if (y - lastLabel < text.line) continue;
    LabelRightOf(painter, text, tickLeft + kTick + kTextGap, y, mark.label);
    lastLabel = y;
  }
}

void PaintTimeAxis(QPainter& painter, const TextMetrics& text, const ViewFrame& frame, Zoom zoom,
                   const LegendFacts& facts, const QColor& colour) {
  const int left = frame.timeAxis.left();
  painter.drawText(QPoint(left + kTick + kTextGap, text.CaptionTop(1) + text.metrics.ascent()),
                   TimeCaption(facts));
  PaintSideMarks(painter, text, left, frame.cells.top(),
                 TimeMarks(facts, zoom, frame.cells.height()), colour);
}

void PaintMicAxis(QPainter& painter, const TextMetrics& text, const ViewFrame& frame, Zoom zoom,
                  const LegendFacts& facts, const QColor& colour) {
  const QRect& cells = frame.cells;
  const int numbersTop = frame.micAxis.top() + text.MicTextDrop();
  painter.drawText(QPoint(cells.left(), numbersTop + text.line + text.metrics.ascent()),
                   MicCaption(facts));
  if (facts.micCount < 1 || cells.width() < 1) return;

  const int widest = text.Width(QString::number(facts.micCount));
  const int spacing = widest + text.line / 2;
  const std::int64_t step = MicStep(zoom, spacing);
  // Only the labels that may reach into the painter's clip.
  std::int64_t firstPixel = 0;
  std::int64_t lastPixel = cells.width() - 1;
  if (painter.hasClipping()) {
    const QRect clip = painter.clipBoundingRect().toAlignedRect();
    firstPixel =
        std::max<std::int64_t>(firstPixel, std::int64_t{clip.left()} - cells.left() - widest);
    lastPixel =
        std::min<std::int64_t>(lastPixel, std::int64_t{clip.right()} - cells.left() + widest);
  }
  if (firstPixel > lastPixel) return;
  const std::int64_t firstMic = MicAtPixel(zoom, firstPixel);
  const std::int64_t lastMic = std::min<std::int64_t>(facts.micCount, MicAtPixel(zoom, lastPixel));

  const auto paint = [&](std::int64_t mic) {
    const std::int64_t x = cells.left() + MicPixel(zoom, mic);
    painter.fillRect(QRect(static_cast<int>(x), frame.micAxis.top(), 1, kTick), colour);
    const QString label = QString::number(mic);
    const QRect box(static_cast<int>(x - widest), numbersTop, 2 * widest + 1, text.line);
    painter.drawText(box, Qt::AlignHCenter | Qt::AlignTop, label);
  };
  // Microphone 1 too, unless it would crowd the first multiple of the step.
  const bool firstToo =
      step == 1 || facts.micCount < step || MicPixel(zoom, step) - MicPixel(zoom, 1) >= spacing;
  if (firstToo && firstMic <= 1) paint(1);
  // The last microphone too: a multiple of the step that would crowd it gives way.
  const std::int64_t last = facts.micCount;
  const bool lastToo = last > 1 && last % step != 0;
  for (std::int64_t mic = std::max<std::int64_t>((firstMic + step - 1) / step, 1) * step;
       mic <= lastMic; mic += step) {
    const bool crowdsLast = lastToo && MicPixel(zoom, last) - MicPixel(zoom, mic) < spacing;
    if (mic != 1 && !crowdsLast) paint(mic);
  }
  const bool crowdsFirst = MicPixel(zoom, last) - MicPixel(zoom, 1) < spacing;
  if (lastToo && !crowdsFirst && lastMic == last) paint(last);
}

void PaintColourBar(QPainter& painter, const TextMetrics& text, const ViewFrame& frame,
                    Palette palette, const LegendFacts& facts, const QColor& colour) {
  const QRect& bar = frame.colourBar;
  const LevelMarks levels = LevelMarksOf(facts, bar.height());
  painter.drawText(QPoint(bar.left() - 1, text.CaptionTop(0) + text.metrics.ascent()),
                   LevelCaption(facts));
  painter.drawText(QPoint(bar.left() - 1, text.CaptionTop(1) + text.metrics.ascent()), levels.peak);
  if (bar.isEmpty()) return;
  const int last = std::max(bar.height() - 1, 1);
  for (int y = 0; y < bar.height(); ++y) {
    const auto grey = static_cast<std::uint8_t>((y * 255 + last / 2) / last);
    painter.fillRect(QRect(bar.left(), bar.top() + y, bar.width(), 1),
                     QColor(PaletteColour(palette, grey)));
  }
  Outline(painter, bar, colour);
  PaintSideMarks(painter, text, bar.right() + 2, bar.top(), levels.marks, colour);
}

}  // namespace

QColor ViewBackground() {
  if (qGuiApp == nullptr) return QColor(240, 240, 240);
  return QGuiApplication::palette().color(QPalette::Window);
}

QColor ViewForeground() {
  return ViewBackground().lightness() < 128 ? QColor(Qt::white) : QColor(Qt::black);
}

ViewFrame FrameView(QSize cellPixels, const LegendFacts& facts) {
  RequireGui();
  const TextMetrics text;
  const int timeWidth = kTick + kTextGap + WidestTimeLabel(facts, text);
  const int micWidest = text.Width(QString::number(std::max(facts.micCount, 1)));
  int levelWidest = 0;
  const LevelMarks levels = LevelMarksOf(facts, kBarHeight);
  for (const Mark& mark : levels.marks) levelWidest = std::max(levelWidest, text.Width(mark.label));
  const int captionWidest = std::max(text.Width(LevelCaption(facts)), text.Width(levels.peak));

  std::int64_t width = std::max(cellPixels.width(), 0);
  std::int64_t height = std::max(cellPixels.height(), 0);
  for (;;) {
    const std::int64_t left = kMargin + 1;  // the outline lies in the margin's last column
    const std::int64_t top = text.CellsTop();
    const std::int64_t timeLeft = left + width + 1;
    const std::int64_t timeTop = text.CaptionTop(1);
    const std::int64_t timeBottom = top + height + text.line / 2;
    const std::int64_t micTop = top + height + 1;
    const std::int64_t micRight =
        std::max(left + width + micWidest / 2 + 1, left - 1 + text.Width(MicCaption(facts)));
    const std::int64_t micBottom = micTop + text.MicTextDrop() + 2 * text.line;
    // Right of the time labels and of the microphone numbers under short maps.
    const std::int64_t barLeft = std::max(timeLeft + timeWidth, micRight + 1) + kBarGap;
    const std::int64_t barRight = barLeft + kBarWidth - 1;
    const std::int64_t rightEnd =
        std::max(barRight + 2 + kTick + kTextGap + levelWidest, barLeft - 1 + captionWidest);
    const std::int64_t viewWidth = std::max({rightEnd, micRight}) + 1 + kMargin;
    const std::int64_t viewHeight =
        std::max(micBottom, top + kBarHeight + 1 + text.line / 2) + 1 + kMargin;
    if (viewWidth > kIntMax || viewHeight > kIntMax) {
      width -= std::max<std::int64_t>(viewWidth - kIntMax, 0);
      height -= std::max<std::int64_t>(viewHeight - kIntMax, 0);
      continue;
    }
    const auto i = [](std::int64_t v) { return static_cast<int>(v); };
    ViewFrame frame;
    frame.size = QSize(i(viewWidth), i(viewHeight));
    frame.cells = QRect(i(left), i(top), i(width), i(height));
    frame.timeAxis = QRect(i(timeLeft), i(timeTop), timeWidth, i(timeBottom - timeTop + 1));
    frame.micAxis = QRect(QPoint(kMargin, i(micTop)), QPoint(i(micRight), i(micBottom)));
    frame.colourBar = QRect(i(barLeft), i(top), kBarWidth, kBarHeight);
    return frame;
  }
}

void PaintLegendAndAxes(QPainter& painter, const ViewFrame& frame, MapZoom zoom, Palette palette,
                        const LegendFacts& facts) {
  RequireGui();
  const TextMetrics text;
  const QColor background = ViewBackground();
  const QColor foreground = ViewForeground();
  painter.save();
  painter.setFont(QFont());
  painter.setPen(foreground);
  FillAround(painter, frame.size, frame.cells, background);
  Outline(painter, frame.cells, foreground);
  PaintTimeAxis(painter, text, frame, zoom.rows, facts, foreground);
  PaintMicAxis(painter, text, frame, zoom.columns, facts, foreground);
  PaintColourBar(painter, text, frame, palette, facts, foreground);
  painter.restore();
}

QString ColumnCaption(const std::string& word, const std::string& source) {
  QString caption = QString::fromStdString(word);
  if (!source.empty()) caption += QString::fromUtf8(" \u2014 ") + QString::fromStdString(source);
  return caption;
}

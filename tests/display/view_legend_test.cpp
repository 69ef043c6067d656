// The view with legend and axes: where its parts lie and what they show.

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <cmath>
#include <limits>
#include <set>

#include "view_image.h"

namespace {

// The fonts need a QGuiApplication; one for the tests of this suite.
class ViewLegend : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (QCoreApplication::instance() == nullptr) app_ = new QGuiApplication(argc_, argv_);
  }
  static void TearDownTestSuite() {
    delete app_;
    app_ = nullptr;
  }

 private:
  static inline char name_[] = "display_tests";
  static inline char platformOption_[] = "-platform";
  static inline char platform_[] = "offscreen";
  static inline int argc_ = 3;
  static inline char* argv_[] = {name_, platformOption_, platform_, nullptr};
  static inline QGuiApplication* app_ = nullptr;
};

// Cell (x, y) has grey (x * 37 + y * 11) mod 256.
QImage PatternGreys(int width, int height) {
  QImage image(width, height, QImage::Format_Grayscale8);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) image.scanLine(y)[x] = static_cast<uchar>((x * 37 + y * 11));
  }
  return image;
}

LegendFacts Facts(int mics, int rows, int sampleRate = 0) {
  LegendFacts facts;
  facts.micCount = mics;
  facts.rowCount = rows;
  facts.peakLevel = 12.5f;
  facts.rangeDb = 80.0f;
  facts.sampleRate = sampleRate;
  facts.decimation = 4;
  facts.scale = LevelScale::MlsLn;
  return facts;
}

QRgb Rgb(const QImage& image, int x, int y) {
  return image.pixel(x, y) | 0xff000000u;
}

// Rows of the time axis's tick column (just right of the cells) that hold a tick.
std::set<int> TimeTickRows(const QImage& view, const ViewFrame& frame) {
  std::set<int> rows;
  for (int y = frame.cells.top(); y <= frame.cells.bottom(); ++y) {
    if (Rgb(view, frame.timeAxis.left() + 1, y) == ViewForeground().rgb()) {
      rows.insert(y - frame.cells.top());
    }
  }
  return rows;
}

// Columns (from the cells' left) of the ticks under the cells.
std::vector<int> MicTickColumns(const QImage& view, const ViewFrame& frame) {
  std::vector<int> columns;
  for (int x = frame.cells.left(); x <= frame.cells.right(); ++x) {
    if (Rgb(view, x, frame.micAxis.top() + 1) == ViewForeground().rgb()) {
      columns.push_back(x - frame.cells.left());
    }
  }
  return columns;
}

TEST_F(ViewLegend, TheCellsLieInTheirFrameAndTheBarRunsFromThePeakToTheSpansEnd) {
  const QImage greys = PatternGreys(9, 40);
  const LegendFacts facts = Facts(9, 40);
  for (const Palette palette : {Palette::Grey, Palette::Viridis}) {
    SCOPED_TRACE(PaletteKey(palette).toStdString());
    const Zoom zoom{2, 1};
    const QImage cells = ZoomedCells(greys, zoom, palette);
    const QImage view = ViewImage(greys, zoom, palette, true, facts);
    const ViewFrame frame = FrameView(cells.size(), facts);
    ASSERT_EQ(view.format(), QImage::Format_RGB888);
    ASSERT_EQ(view.size(), frame.size);
    ASSERT_EQ(frame.cells.size(), cells.size());
    for (int y = 0; y < cells.height(); ++y) {
      for (int x = 0; x < cells.width(); ++x) {
        ASSERT_EQ(Rgb(view, frame.cells.left() + x, frame.cells.top() + y), Rgb(cells, x, y))
            << x << "," << y;
      }
    }
    const QRect& bar = frame.colourBar;
    for (int x = bar.left(); x <= bar.right(); ++x) {
      EXPECT_EQ(Rgb(view, x, bar.top()), PaletteColour(palette, 0));
      EXPECT_EQ(Rgb(view, x, bar.bottom()), PaletteColour(palette, 255));
    }
    EXPECT_EQ(Rgb(view, 0, 0), ViewBackground().rgb());
    EXPECT_EQ(Rgb(view, frame.cells.left() - 1, frame.cells.top()), ViewForeground().rgb());
    EXPECT_EQ(view, ViewImage(greys, zoom, palette, true, facts)) << "not deterministic";
  }
}

TEST_F(ViewLegend, ThePartsLieApartInsideTheView) {
  for (const QSize cells : {QSize(0, 0), QSize(1, 1), QSize(64, 512), QSize(3000, 20)}) {
    const ViewFrame frame = FrameView(cells, Facts(cells.width(), cells.height(), 48000));
    const QRect view(QPoint(0, 0), frame.size);
    EXPECT_EQ(frame.cells.size(), cells);
    for (const QRect& part : {frame.timeAxis, frame.micAxis, frame.colourBar}) {
      EXPECT_TRUE(view.contains(part)) << cells.width() << "x" << cells.height();
      EXPECT_FALSE(part.intersects(frame.cells));
    }
    EXPECT_GT(frame.cells.left(), 0);
    EXPECT_GT(frame.colourBar.left(), frame.timeAxis.right());
    EXPECT_FALSE(frame.colourBar.intersects(frame.micAxis));
    EXPECT_GT(frame.micAxis.top(), frame.cells.bottom());
    EXPECT_EQ(frame.colourBar.height(), 256);  // one row per grey
  }
  // Sides beyond an int are limited, not wrapped.
  const int most = std::numeric_limits<int>::max();
  const ViewFrame huge = FrameView(QSize(most, most), Facts(most, most));
  EXPECT_GT(huge.size.width(), 0);
  EXPECT_TRUE(QRect(QPoint(0, 0), huge.size).contains(huge.colourBar));
}

TEST_F(ViewLegend, WithARateTheTicksMarkMillisecondsElseRows) {
  // 48000 samples a second, 4 a row: 12 rows a millisecond, a tick every 60 rows at 1:1, to the
  // data's end at 66.7 ms.
  const QImage greys = PatternGreys(3, 800);
  const LegendFacts timed = Facts(3, 800, 48000);
  const LegendFacts counted = Facts(3, 800, 0);
  const ViewFrame timedFrame = FrameView(greys.size(), timed);
  const ViewFrame countedFrame = FrameView(greys.size(), counted);
  EXPECT_EQ(timedFrame.cells, countedFrame.cells);
  // "800" is wider than "50".
  EXPECT_GT(countedFrame.timeAxis.width(), timedFrame.timeAxis.width());

  const std::set<int> ms{0, 60, 120, 180, 240, 300, 360, 420, 480, 540, 600, 660, 720, 780};
  EXPECT_EQ(TimeTickRows(ViewImage(greys, Zoom{}, Palette::Grey, true, timed), timedFrame), ms);
  // Rows 1, 50, 100, ..., 800, each on its own pixel row.
  std::set<int> rows{0};
  for (int row = 50; row <= 800; row += 50) rows.insert(row - 1);
  EXPECT_EQ(TimeTickRows(ViewImage(greys, Zoom{}, Palette::Grey, true, counted), countedFrame),
            rows);

  // Zoomed, the step follows the rows' scale: at 2:1 (24 px a ms) every 5 ms, 120 px apart; at
  // 1:3 (4 px a ms) every 20 ms, 80 px apart; none beyond the data.
  const QImage zoomedIn = ViewImage(greys, Zoom{2, 1}, Palette::Grey, true, timed);
  std::set<int> fives;
  for (int y = 0; y <= 1560; y += 120) fives.insert(y);
  LegendFacts timedIn = timed;
  timedIn.pixelsPerRow = 2;
  EXPECT_EQ(TimeTickRows(zoomedIn, FrameView(QSize(6, 1600), timedIn)), fives);
  const QImage zoomedOut = ViewImage(greys, Zoom{1, 3}, Palette::Grey, true, timed);
  LegendFacts timedOut = timed;
  timedOut.pixelsPerRow = 1.0 / 3;
  EXPECT_EQ(TimeTickRows(zoomedOut, FrameView(QSize(1, 267), timedOut)),
            (std::set<int>{0, 80, 160, 240}));
  const QImage shortMap =
      ViewImage(PatternGreys(3, 100), Zoom{}, Palette::Grey, true, Facts(3, 100, 48000));
  EXPECT_EQ(TimeTickRows(shortMap, FrameView(QSize(3, 100), Facts(3, 100, 48000))),
            (std::set<int>{0, 60}));
}

TEST_F(ViewLegend, MicrophoneNumbersSitAtColumnCentresAndDoNotCrowd) {
  // Wide cells: every microphone, at the middle of its 32 pixels.
  const ViewFrame wide = FrameView(QSize(4 * 32, 10 * 32), Facts(4, 10));
  EXPECT_EQ(
      MicTickColumns(ViewImage(PatternGreys(4, 10), Zoom{32, 1}, Palette::Grey, true, Facts(4, 10)),
                     wide),
      (std::vector<int>{16, 48, 80, 112}));

  // Narrow cells: a round step, the labels at least a label's width apart.
  const int labelWidth = QFontMetrics(QFont()).horizontalAdvance(QStringLiteral("300"));
  for (const Zoom zoom : {Zoom{}, Zoom{3, 1}, Zoom{1, 2}}) {
    SCOPED_TRACE(ZoomText(zoom).toStdString());
    const QImage greys = PatternGreys(300, 5);
    const QImage view = ViewImage(greys, zoom, Palette::Grey, true, Facts(300, 5));
    const ViewFrame frame =
        FrameView(ZoomedCells(greys, zoom, Palette::Grey).size(), Facts(300, 5));
    const std::vector<int> columns = MicTickColumns(view, frame);
    ASSERT_GE(columns.size(), 2u);
    for (std::size_t i = 1; i < columns.size(); ++i) {
      EXPECT_GT(columns[i] - columns[i - 1], labelWidth);
    }
    if (zoom.in >= 1 && zoom.out == 1) {
      // Each tick in the middle of a column's pixels; the columns are 1 or multiples of a step.
      std::set<int> steps;
      for (const int column : columns) {
        EXPECT_EQ(column % zoom.in, zoom.in / 2);
        const int mic = column / zoom.in + 1;
        if (mic != 1) steps.insert(mic);
      }
      const int step = *steps.begin();
      for (const int mic : steps) EXPECT_EQ(mic % step, 0);
      const double mantissa = step / std::pow(10.0, std::floor(std::log10(step)));
      EXPECT_TRUE(mantissa == 1.0 || mantissa == 2.0 || mantissa == 5.0) << step;
    }
  }

  // The last microphone is always numbered; a multiple of the step too close to it gives way:
  // 64 at 1:1 (step 50) shows 1 and 64, and 307 shows 307 but not 300.
  for (const int mics : {64, 307}) {
    const QImage greys = PatternGreys(mics, 5);
    const std::vector<int> columns =
        MicTickColumns(ViewImage(greys, Zoom{}, Palette::Grey, true, Facts(mics, 5)),
                       FrameView(greys.size(), Facts(mics, 5)));
    ASSERT_FALSE(columns.empty());
    EXPECT_EQ(columns.back(), mics - 1) << mics;
    for (std::size_t i = 1; i < columns.size(); ++i) {
      EXPECT_GT(columns[i] - columns[i - 1], labelWidth) << mics;
    }
  }
}

TEST_F(ViewLegend, APaintClippedToPartOfTheViewPaintsThatPartAlike) {
  const LegendFacts facts = Facts(2000, 3);
  const QImage greys = PatternGreys(2000, 3);
  const QImage whole = ViewImage(greys, Zoom{}, Palette::Magma, true, facts);
  const ViewFrame frame = FrameView(greys.size(), facts);
  // Starts just right of the centre of microphone 700, whose label reaches into it.
  const QRect part(frame.cells.left() + 701, frame.micAxis.top(), 300, frame.micAxis.height());
  QImage shown(part.size(), QImage::Format_RGB888);
  shown.fill(Qt::red);
  {
    QPainter painter(&shown);
    painter.translate(-part.topLeft());
    painter.setClipRect(part);
    PaintLegendAndAxes(painter, frame, Zoom{}, Palette::Magma, facts);
  }
  EXPECT_EQ(shown, whole.copy(part));
}

TEST_F(ViewLegend, SpansWithoutRoundLevelsStillGiveTheWholeBar) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const struct {
    float peak, range;
  } cases[] = {{-inf, 100.0f},  {10.0f, nan},   {10.0f, 0.0f},
               {3e38f, 1e-30f}, {5.0f, -40.0f}, {0.0f, 3e38f}};
  for (const auto& c : cases) {
    LegendFacts facts = Facts(2, 2);
    facts.peakLevel = c.peak;
    facts.rangeDb = c.range;
    const QImage view = ViewImage(PatternGreys(2, 2), Zoom{}, Palette::Viridis, true, facts);
    const ViewFrame frame = FrameView(QSize(2, 2), facts);
    ASSERT_EQ(view.size(), frame.size) << c.peak << " " << c.range;
    EXPECT_EQ(Rgb(view, frame.colourBar.left(), frame.colourBar.top()),
              PaletteColour(Palette::Viridis, 0));
    EXPECT_EQ(Rgb(view, frame.colourBar.left(), frame.colourBar.bottom()),
              PaletteColour(Palette::Viridis, 255));
  }
  // A map without cells still has its legend.
  const QImage empty = ViewImage(QImage(), Zoom{}, Palette::Grey, true, Facts(0, 0));
  EXPECT_EQ(empty.size(), FrameView(QSize(), Facts(0, 0)).size);
}

}  // namespace

// The view with legend and axes as the window shows it: the picture, the time ticks, the
// microphone axis and the colour bar.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPalette>
#include <set>
#include <vector>

#include "map_geometry.h"
#include "row_scale.h"
#include "view_image.h"
#include "view_legend.h"

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

QRect PictureOf(QSize cells) {
  return QRect(kViewPictureAt, cells + QSize(2 * kPictureBorder, 2 * kPictureBorder));
}

// Rows (from the picture's outer top) of the time ticks just right of the picture.
std::set<int> TimeTickRows(const QImage& view, const QRect& picture) {
  std::set<int> rows;
  for (int y = 0; y < view.height(); ++y) {
    if (Rgb(view, picture.right() + 3, y) == ViewForeground().rgb()) rows.insert(y - picture.top());
  }
  return rows;
}

// Columns (from the cells' left) of the ticks under the picture.
std::vector<int> MicTickColumns(const QImage& view, const QRect& picture) {
  std::vector<int> columns;
  for (int x = picture.left() + kPictureBorder; x < picture.right() - 1; ++x) {
    if (Rgb(view, x, picture.bottom() + 2) == ViewForeground().rgb()) {
      columns.push_back(x - picture.left() - kPictureBorder);
    }
  }
  return columns;
}

TEST_F(ViewLegend, TheCellsLieInTheirPictureBesideTheScaleAndTheLegend) {
  const QImage greys = PatternGreys(9, 40);
  const LegendFacts facts = Facts(9, 40);
  for (const Palette palette : {Palette::Grey, Palette::Viridis}) {
    for (const MapZoom zoom : {MapZoom(Zoom{2, 1}, Zoom{2, 1}), MapZoom(Zoom{1, 2}, Zoom{1, 3})}) {
      SCOPED_TRACE(PaletteKey(palette).toStdString() + " " + std::to_string(zoom.columns.in));
      const QImage cells = ZoomedCells(greys, zoom, palette);
      const QImage view = ViewImage(greys, zoom, palette, true, facts);
      const QRect picture = PictureOf(cells.size());
      ASSERT_EQ(view.width(), picture.right() + 1 + TimeLabelsRoom(QFont(), facts, zoom.rows) +
                                  LegendBesideScale(QFont(), facts));
      ASSERT_EQ(view.height(),
                kViewPictureAt.y() + LegendDepth(QFont(), facts, picture.height(), 0));
      for (int y = 0; y < cells.height(); ++y) {
        for (int x = 0; x < cells.width(); ++x) {
          ASSERT_EQ(
              Rgb(view, picture.left() + kPictureBorder + x, picture.top() + kPictureBorder + y),
              Rgb(cells, x, y))
              << x << "," << y;
        }
      }
      // The sunken border: dark at the top-left, light at the bottom-right.
      const QPalette colours = QGuiApplication::palette();
      EXPECT_EQ(Rgb(view, picture.left(), picture.top() + 5), colours.color(QPalette::Dark).rgb());
      EXPECT_EQ(Rgb(view, picture.right(), picture.top() + 5),
                colours.color(QPalette::Light).rgb());
      EXPECT_EQ(Rgb(view, 0, 0), ViewBackground().rgb());
      EXPECT_EQ(view, ViewImage(greys, zoom, palette, true, facts)) << "not deterministic";
    }
  }
}

TEST_F(ViewLegend, TheColourBarRunsFromThePeakToTheSpansEndInThePalette) {
  const QImage greys = PatternGreys(4, 300);
  for (const Palette palette : {Palette::Magma, Palette::Difference}) {
    const QImage view = ViewImage(greys, Zoom{}, palette, true, Facts(4, 300));
    // The bar's columns hold the palette's first colour somewhere and its last further down.
    int top = -1;
    int bottom = -1;
    const int x = view.width() - LegendBesideScale(QFont(), Facts(4, 300)) + 8 + 7;
    for (int y = 0; y < view.height(); ++y) {
      if (top < 0 && Rgb(view, x, y) == PaletteColour(palette, 0)) top = y;
      if (Rgb(view, x, y) == PaletteColour(palette, 255)) bottom = y;
    }
    ASSERT_GE(top, kViewPictureAt.y()) << PaletteKey(palette).toStdString();
    EXPECT_GT(bottom - top, 250);
  }
}

TEST_F(ViewLegend, WithARateTheTicksMarkMillisecondsElseRowsWithinTheData) {
  const QImage greys = PatternGreys(3, 800);
  // 48000 / 4 = 12 rows a ms: at 1:1 the designed ticks every 5 ms, from the picture's top edge.
  const QImage timed = ViewImage(greys, Zoom{}, Palette::Grey, true, Facts(3, 800, 48000));
  std::set<int> fives;
  for (int ms = 0; ms * 12 <= 800; ms += 5) fives.insert(ms * 12);
  EXPECT_EQ(TimeTickRows(timed, PictureOf(QSize(3, 800))), fives);
  // Without a rate, rows counted from the middle of row 1, inside the border; none beyond the end.
  const QImage counted = ViewImage(greys, Zoom{}, Palette::Grey, true, Facts(3, 800));
  const std::set<int> rows = TimeTickRows(counted, PictureOf(QSize(3, 800)));
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(*rows.begin(), kPictureBorder);
  EXPECT_LE(*rows.rbegin(), 800 + kPictureBorder);
  // Zoomed out the ticks stay about a label's spacing apart.
  const QImage zoomedOut = ViewImage(greys, Zoom{1, 4}, Palette::Grey, true, Facts(3, 800, 48000));
  const std::set<int> out = TimeTickRows(zoomedOut, PictureOf(QSize(3, 200)));
  ASSERT_GE(out.size(), 2u);
  EXPECT_GE(*std::next(out.begin()) - *out.begin(), kTimeLabelGap);
  EXPECT_LE(*out.rbegin(), 200 + 2 * kPictureBorder);
}

TEST_F(ViewLegend, TheFirstAndTheLastMicrophoneAreMarkedWhereTheyHaveRoom) {
  struct Case {
    int mics;
    int pixelsPerColumn;
    std::vector<int> ends;  // the first and the last tick, from the cells' left
  };
  for (const Case& c : std::vector<Case>{{2, 16, {8, 24}},
                                         {9, 8, {4, 68}},
                                         {57, 1, {0, 56}},
                                         {300, 1, {0, 299}},
                                         // Side by side the first label gives way to the last.
                                         {2, 1, {1, 1}}}) {
    SCOPED_TRACE(std::to_string(c.mics) + " at " + std::to_string(c.pixelsPerColumn));
    const MapZoom zoom(Zoom{c.pixelsPerColumn, 1}, Zoom{});
    const QImage view =
        ViewImage(PatternGreys(c.mics, 5), zoom, Palette::Grey, true, Facts(c.mics, 5));
    const std::vector<int> ticks =
        MicTickColumns(view, PictureOf(QSize(c.mics * c.pixelsPerColumn, 5)));
    ASSERT_FALSE(ticks.empty());
    EXPECT_EQ((std::vector<int>{ticks.front(), ticks.back()}), c.ends);
  }
}

TEST_F(ViewLegend, ANoteAndDistancesWidenTheLegend) {
  LegendFacts facts = Facts(20, 600, 48000);
  const QImage plain = ViewImage(PatternGreys(20, 600), Zoom{}, Palette::Grey, true, facts);
  facts.distance = true;
  const QImage distances = ViewImage(PatternGreys(20, 600), Zoom{}, Palette::Grey, true, facts);
  EXPECT_GT(distances.width(), plain.width());
  facts.note = QStringLiteral("a rather long line that says what is compared\nand another");
  const QImage noted = ViewImage(PatternGreys(20, 600), Zoom{}, Palette::Grey, true, facts);
  EXPECT_GT(noted.width(), distances.width());
}

TEST_F(ViewLegend, AViewWithoutMapStillHasItsAxes) {
  const QImage empty = ViewImage(QImage(), Zoom{}, Palette::Grey, true, Facts(0, 0));
  EXPECT_FALSE(empty.isNull());
  EXPECT_EQ(Rgb(empty, 0, 0), ViewBackground().rgb());
}

}  // namespace

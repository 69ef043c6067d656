#include "draw_map.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <utility>
#include <vector>

#include "grey.h"
#include "image_surface.h"
#include "initial_image.h"
#include "no_pause.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace {

// Records what DrawMap does, in order; Yield runs an optional action (an event arriving).
class RecordingSurface : public WindowMapSurface {
 public:
  void SetWidths(const MapGeometry& g) override { calls.push_back("widths"), geometry = g; }
  void SetHeights(const MapGeometry&) override { calls.push_back("heights"); }
  void Clear(std::int32_t, std::int32_t) override { calls.push_back("clear"), ticks.clear(); }
  void DrawTick(float offset, int ms) override { ticks.push_back({offset, ms}); }
  void PaintColumn(std::int32_t column, std::span<const std::uint8_t> greys) override {
    calls.push_back("column " + std::to_string(column));
    columns.emplace_back(greys.begin(), greys.end());
  }
  void Yield() override {
    ++yields;
    if (onYield) onYield();
  }

  struct Tick {
    float offset;
    int ms;
  };
  MapGeometry geometry{};
  std::vector<std::string> calls;
  std::vector<Tick> ticks;
  std::vector<std::vector<std::uint8_t>> columns;
  int yields = 0;
  std::function<void()> onYield;
};

ViewState GridState(std::int32_t mics, std::int32_t rows) {
  ViewState s;
  s.LevelGrid = LevelGrid(rows, mics);
  s.RangeDb = 100;
  s.Decimation = 4;
  return s;
}

TEST(Grey, ProportionalToTheDistanceBelowThePeakWithHalvesToEven) {
  const struct {
    float level, peak, range;
    int grey;
  } cases[] = {
      {10, 10, 100, 0},        // at the peak: black
      {-90, 10, 100, 255},     // the span below it: white
      {-190, 10, 100, 255},    // further below: white
      {20, 10, 100, 0},        // above the peak: black
      {-254.5f, 0, 255, 254},  // halves go to the even grey
      {-1.5f, 0, 255, 2},
      {-0.5f, 0, 255, 0},
      {-50, 0, -100, 0},      // a negative span: black
      {-50, 0, 1e-30f, 255},  // a tiny span still paints
      // float(-0.5 x 100 / 255) lies just past half a grey below the peak: grey 1 when computed
      // in double precision, 0 in single.
      {static_cast<float>(-0.5 * 100 / 255), 0, 100, 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GreyOf(c.level, c.peak, c.range), c.grey)
        << "level " << c.level << ", peak " << c.peak << ", span " << c.range;
  }
  EXPECT_THROW(GreyOf(0.0f, 0.0f, 0.0f), DrawError);
}

// The column kernels give every cell the grey GreyOf gives it, whatever the column's length
// (the vector steps and the cells after them), and refuse a column with a NaN grey.
TEST(Grey, AColumnAtATimeGivesEveryCellItsGrey) {
  std::vector<float> levels = {10,
                               -90,
                               -190,
                               20,
                               -254.5f,
                               -1.5f,
                               -0.5f,
                               -50,
                               static_cast<float>(-0.5 * 100 / 255),
                               1e30f,
                               -1e30f,
                               std::numeric_limits<float>::infinity(),
                               -std::numeric_limits<float>::infinity(),
                               -0.0f,
                               0.0f};
  std::uint32_t state = 12345;  // a fixed sequence of levels over and around every grey
  for (int i = 0; i < 3000; ++i) {
    state = state * 1664525u + 1013904223u;
    levels.push_back(-300.0f + static_cast<float>(state >> 8) * (400.0f / 16777216.0f));
  }
  const std::pair<float, float> views[] = {{0, 255},  {10, 100},   {-3.25f, 150},
                                           {0, -100}, {0, 1e-30f}, {212.1f, 37.5f}};
  for (const bool avx2 : {false, true}) {
    if (avx2 && !HasAvx2Greys()) continue;
    for (const auto& [peak, range] : views) {
      for (const std::size_t length :
           {std::size_t{0}, std::size_t{1}, std::size_t{3}, std::size_t{7}, levels.size()}) {
        std::vector<std::uint8_t> greys(length, 77);
        GreysOf(std::span(levels).first(length), peak, range, greys.data(), avx2);
        for (std::size_t r = 0; r < length; ++r) {
          ASSERT_EQ(greys[r], GreyOf(levels[r], peak, range))
              << (avx2 ? "AVX2" : "SSE2") << " level " << levels[r] << ", peak " << peak
              << ", span " << range;
        }
      }
    }
    const std::vector<float> flat(8, 5.0f);  // 0 / 0: NaN, all within the vector steps
    std::vector<std::uint8_t> greys(flat.size());
    EXPECT_THROW(GreysOf(flat, 5.0f, 0.0f, greys.data(), avx2), DrawError);
  }
}

TEST(MapGeometry, OnePixelPerCellInsideTheBorder) {
  const MapGeometry g = ComputeMapGeometry(100, 50);
  EXPECT_EQ(g.pictureOuterWidth, 104);
  EXPECT_EQ(g.pictureOuterHeight, 54);
  EXPECT_EQ(ComputeMapGeometry(0, 0).pictureOuterWidth, 4);
  EXPECT_THROW(ComputeMapGeometry(2147483647, 1), DrawError);
  EXPECT_THROW(ComputeMapGeometry(1, 20000000), DrawError);
}

TEST(InitialImage, IsAOnePixelGreyBitmap) {
  EXPECT_EQ(InitialImageBytes().size(), 1082u);
  const QImage image = InitialImage();
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.size(), QSize(1, 1));
  EXPECT_EQ(qGray(image.pixel(0, 0)), 251);
  // What Qt's BMP reader makes of the bytes.
  const QImage decoded =
      QImage::fromData(InitialImageBytes().data(), static_cast<int>(InitialImageBytes().size()));
  ASSERT_FALSE(decoded.isNull());
  EXPECT_EQ(image.colorTable(), decoded.colorTable());
  EXPECT_EQ(image.convertToFormat(QImage::Format_ARGB32),
            decoded.convertToFormat(QImage::Format_ARGB32));
}

TEST(DrawMap, SizesPausesClearsDrawsTheScaleThenPaintsColumnByColumn) {
  ViewState s = GridState(3, 2);
  s.LevelGrid.DataColumn(2)[1] = -50.0f;
  RecordingSurface surface;
  DrawMap(s, surface, kNoPause);
  EXPECT_THAT(surface.calls,
              ElementsAre("widths", "heights", "clear", "column 1", "column 2", "column 3"));
  EXPECT_EQ(surface.geometry.pictureOuterWidth, 7);
  EXPECT_EQ(surface.yields, 1 + 3);  // at least one in the pause, then one per column
  EXPECT_THAT(surface.columns[1], ElementsAre(0, 128));  // 127.5 rounds to even 128
}

TEST(DrawMap, TicksLieAtTheRowsOfEachFiveMilliseconds) {
  ViewState s = GridState(2, 400);
  s.SampleRate = 60606;
  RecordingSurface surface;
  DrawMap(s, surface, kNoPause);
  ASSERT_EQ(surface.ticks.size(), 11u);
  EXPECT_EQ(surface.ticks[0].offset, 0.0f);
  EXPECT_FLOAT_EQ(surface.ticks[1].offset, 75.7575f);
  EXPECT_FLOAT_EQ(surface.ticks[10].offset, 757.575f);
  EXPECT_EQ(surface.ticks[10].ms, 50);
  // Without a rate the scale counts rows: 400 rows have a tick at row 1 and every 50th.
  s.SampleRate = 0;
  DrawMap(s, surface, kNoPause);
  ASSERT_EQ(surface.ticks.size(), 9u);
  EXPECT_EQ(surface.ticks[0].offset, 2.0f);  // row 1's pixel, inside the border
  EXPECT_EQ(surface.ticks[0].ms, 1);
  EXPECT_EQ(surface.ticks[1].offset, 51.0f);
  EXPECT_EQ(surface.ticks[1].ms, 50);
  EXPECT_EQ(surface.ticks[8].ms, 400);
}

TEST(DrawMap, StopsAfterTheColumnDuringWhichTheClickCame) {
  ViewState s = GridState(5, 3);
  RecordingSurface surface;
  int yields = 0;
  surface.onYield = [&] {
    if (++yields == 3) s.StopDrawing = true;  // pause, column 1, then during column 2's yield
  };
  DrawMap(s, surface, kNoPause);
  EXPECT_EQ(surface.columns.size(), 2u);
  EXPECT_TRUE(s.StopDrawing);
  // The next paint starts afresh.
  surface.onYield = nullptr;
  surface.columns.clear();
  DrawMap(s, surface, kNoPause);
  EXPECT_EQ(surface.columns.size(), 5u);
  EXPECT_FALSE(s.StopDrawing);
}

TEST(DrawMap, AClickDuringThePauseIsForgotten) {
  ViewState s = GridState(4, 2);
  RecordingSurface surface;
  int pauseYields = 0;
  surface.onYield = [&] {
    if (surface.calls.size() == 1) {  // only "widths" so far: still pausing
      ++pauseYields;
      s.StopDrawing = true;
    }
  };
  DrawMap(s, surface, DrawOptions{std::chrono::milliseconds(5)});
  EXPECT_GE(pauseYields, 1);
  EXPECT_EQ(surface.columns.size(), 4u);
  EXPECT_FALSE(s.StopDrawing);
}

TEST(DrawMap, GridsWithoutCellsPaintNothingAndYieldOnce) {
  ViewState none = GridState(0, 10);
  RecordingSurface surface;
  DrawMap(none, surface, kNoPause);
  EXPECT_EQ(surface.yields, 1);  // the pause
  // A header may promise millions of empty columns: they cost neither a yield nor memory each.
  ViewState noRows = GridState(16'000'000, 0);
  RecordingSurface surface2;
  DrawMap(noRows, surface2, kNoPause);
  EXPECT_EQ(surface2.yields, 1 + 1);  // the pause, then one for all the columns
  EXPECT_TRUE(surface2.columns.empty());
  ViewState before;  // Redraw before any load
  before.RangeDb = 100;
  before.Decimation = 4;
  EXPECT_NO_THROW(DrawMap(before, surface2, kNoPause));
}

TEST(DrawMap, RangeZeroFailsAfterTheScaleIsDrawn) {
  ViewState s = GridState(2, 2);
  s.SampleRate = 48000;
  s.RangeDb = 0;
  RecordingSurface surface;
  EXPECT_THROW(DrawMap(s, surface, kNoPause), DrawError);
  EXPECT_EQ(surface.ticks.size(), 11u);
  EXPECT_TRUE(surface.columns.empty());
}

TEST(DrawMap, AnImageTakesTheCellsWithoutSizingOrPause) {
  ViewState s = GridState(3, 2);
  s.LevelGrid.DataColumn(3)[0] = -100.0f;
  ImageSurface image;
  DrawMap(s, image);
  ASSERT_EQ(image.Image().size(), QSize(3, 2));
  EXPECT_EQ(qGray(image.Image().pixel(0, 0)), 0);
  EXPECT_EQ(qGray(image.Image().pixel(2, 0)), 255);
  EXPECT_EQ(qGray(image.Image().pixel(2, 1)), 0);
}

}  // namespace

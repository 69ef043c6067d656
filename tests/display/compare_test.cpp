// A measurement compared with a reference: the difference grid, its painting with the diverging
// palette, and the legend's note on sizes and kinds.

#include "compare.h"

#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>

#include "draw_map.h"
#include "image_surface.h"
#include "palette.h"
#include "renderer_run.h"

namespace {

QImage PaintedDifference(const ViewState& measurement, const LevelGrid& reference) {
  ViewState view = DifferenceView(measurement, reference);
  ImageSurface surface;
  DrawMap(view, surface);
  return surface.Image();
}

TEST(DifferenceGrid, IsMeasurementMinusReferenceOverTheCommonRowsAndMicrophones) {
  const auto measurement =
      GridOf(4, 3, [](int r, int c) { return 0.1f * float(r) + 7.3f * float(c); });
  const auto reference =
      GridOf(5, 2, [](int r, int c) { return 0.3f * float(r) - 1.7f * float(c); });
  for (const bool swapped : {false, true}) {
    const LevelGrid& a = swapped ? reference : measurement;
    const LevelGrid& b = swapped ? measurement : reference;
    const LevelGrid d = DifferenceGrid(a, b);
    ASSERT_EQ(d.RowCount(), 4);
    ASSERT_EQ(d.MicCount(), 2);
    for (int c = 1; c <= 2; ++c) {
      for (int r = 1; r <= 4; ++r) {
        const float expected = a.At(r, c) - b.At(r, c);  // single precision, as documented
        EXPECT_EQ(d.At(r, c), expected) << r << "," << c;
      }
    }
  }
  // No cells in common: an empty grid, whatever the other count.
  const LevelGrid none = DifferenceGrid(measurement, LevelGrid(0, 9));
  EXPECT_EQ(none.RowCount(), 0);
  EXPECT_EQ(none.MicCount(), 3);
  EXPECT_EQ(DifferenceGrid(measurement, LevelGrid()).MicCount(), 0);
}

TEST(DifferenceView, ZeroIsWhiteAndTheHuesSaturateAtPlusOrMinusTheSpan) {
  ViewState measurement;
  measurement.RangeDb = 40;
  measurement.SampleRate = 48000;
  measurement.Decimation = 8;
  measurement.PeakLevel = 77;  // the measurement's own peak plays no part
  // Differences of one column: 0, +span, -span, beyond either, and half the span.
  const float levels[] = {5, 45, -35, 200, -300, 25, -15};
  measurement.LevelGrid = GridOf(7, 1, [&](int r, int) { return levels[r - 1]; });
  const LevelGrid reference = GridOf(7, 1, [](int, int) { return 5.0f; });

  const ViewState view = DifferenceView(measurement, reference);
  EXPECT_EQ(view.PeakLevel, 40.0f);
  EXPECT_EQ(view.RangeDb, 80.0f);
  EXPECT_EQ(view.SampleRate, 48000);
  EXPECT_EQ(view.Decimation, 8);

  const QImage greys = PaintedDifference(measurement, reference);
  ASSERT_EQ(greys.size(), QSize(1, 7));
  const int expected[] = {128, 0, 255, 0, 255, 64, 191};
  for (int r = 0; r < 7; ++r) EXPECT_EQ(qGray(greys.pixel(0, r)), expected[r]) << r;

  const QRgb white = qRgb(255, 255, 255);
  EXPECT_EQ(PaletteColour(Palette::Difference, 128), white);
  EXPECT_EQ(PaletteColour(Palette::Difference, 127), white);
  const QRgb louder = PaletteColour(Palette::Difference, 0);
  const QRgb quieter = PaletteColour(Palette::Difference, 255);
  EXPECT_GT(qRed(louder), qBlue(louder));  // the measurement louder: red
  EXPECT_GT(qBlue(quieter), qRed(quieter));

  // A negative span paints the same colours: the sign of a difference never swaps hues.
  measurement.RangeDb = -40;
  EXPECT_EQ(PaintedDifference(measurement, reference), greys);
}

TEST(DifferencePalette, FadesFromWhiteToOneHueEachWayAndIsNotSteppedThrough) {
  // Every channel moves away from white monotonically towards each end.
  for (int grey = 1; grey <= 127; ++grey) {
    const QRgb nearer = PaletteColour(Palette::Difference, static_cast<std::uint8_t>(grey));
    const QRgb further = PaletteColour(Palette::Difference, static_cast<std::uint8_t>(grey - 1));
    EXPECT_GE(qGreen(nearer), qGreen(further)) << grey;
    EXPECT_GE(qBlue(nearer), qBlue(further)) << grey;
    EXPECT_GT(qRed(further), qBlue(further)) << grey;
  }
  for (int grey = 128; grey < 255; ++grey) {
    const QRgb nearer = PaletteColour(Palette::Difference, static_cast<std::uint8_t>(grey));
    const QRgb further = PaletteColour(Palette::Difference, static_cast<std::uint8_t>(grey + 1));
    EXPECT_GE(qRed(nearer), qRed(further)) << grey;
    EXPECT_GE(qGreen(nearer), qGreen(further)) << grey;
  }
  EXPECT_EQ(std::find(kAllPalettes.begin(), kAllPalettes.end(), Palette::Difference),
            kAllPalettes.end());
  EXPECT_FALSE(PaletteFromKey(u"difference").has_value());
  EXPECT_EQ(PaletteKey(Palette::Difference), "difference");
}

TEST(ComparisonNote, SaysTheReferenceSizeWhatIsComparedAndWhetherTheScalesDiffer) {
  const LevelGrid measurement(512, 64);
  const LevelGrid reference(400, 48);
  EXPECT_EQ(ComparisonNote(measurement, LevelScale::MlsLn, reference, LevelScale::MlsLn),
            "reference: 48 \u00d7 400, compared: 48 \u00d7 400 of 64 \u00d7 512");
  EXPECT_EQ(ComparisonNote(reference, LevelScale::EnergyLn, reference, LevelScale::EnergyLn),
            "reference: 48 \u00d7 400");
  // More rows but fewer microphones than the measurement.
  EXPECT_EQ(ComparisonNote(LevelGrid(300, 64), LevelScale::Decibel, reference, LevelScale::Decibel),
            "reference: 48 \u00d7 400, compared: 48 \u00d7 300 of 64 \u00d7 300");
  EXPECT_EQ(ComparisonNote(reference, LevelScale::MlsLn, reference, LevelScale::Decibel),
            "reference: 48 \u00d7 400; different kinds: level scales differ");
}

}  // namespace

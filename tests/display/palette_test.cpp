#include "palette.h"

#include <gtest/gtest.h>

#include <QImage>
#include <optional>

#include "grey.h"

namespace {

struct Ends {
  Palette palette;
  QRgb dark;    // matplotlib's entry 0: the colour of grey 255
  QRgb bright;  // matplotlib's entry 255: the colour of grey 0, the peak
};

// Read from matplotlib 3.6.3 (Debian 12) with cmap(numpy.arange(256), bytes=True) when the
// tables were generated.
const Ends kEnds[] = {
    {Palette::Viridis, qRgb(68, 1, 84), qRgb(253, 231, 36)},
    {Palette::Magma, qRgb(0, 0, 3), qRgb(251, 252, 191)},
    {Palette::Inferno, qRgb(0, 0, 3), qRgb(252, 254, 164)},
    {Palette::Cividis, qRgb(0, 34, 77), qRgb(253, 231, 55)},
};

TEST(Palette, EndsAreMatplotlibsFirstAndLastEntries) {
  for (const Ends& e : kEnds) {
    SCOPED_TRACE(PaletteKey(e.palette).toStdString());
    EXPECT_EQ(PaletteColour(e.palette, 255), e.dark);
    EXPECT_EQ(PaletteColour(e.palette, 0), e.bright);
  }
  // A middle entry read from matplotlib too: viridis entry 128 is grey 127's colour.
  EXPECT_EQ(PaletteColour(Palette::Viridis, 127), qRgb(32, 144, 140));
}

TEST(Palette, GreyIsTheDesignedGreyForEveryValue) {
  for (int level = 0; level <= 255; ++level) {
    // Peak 0, span 255: the designed grey of level -g is g.
    const std::uint8_t grey = GreyOf(static_cast<float>(-level), 0.0f, 255.0f);
    ASSERT_EQ(grey, level);
    EXPECT_EQ(PaletteColour(Palette::Grey, grey), qRgb(grey, grey, grey));
  }
}

TEST(Palette, ColourTableIsIndexedByGreyAndOpaque) {
  for (const Palette palette : kAllPalettes) {
    const QList<QRgb> table = PaletteColourTable(palette);
    ASSERT_EQ(table.size(), 256);
    for (int grey = 0; grey < 256; ++grey) {
      EXPECT_EQ(table[grey], PaletteColour(palette, static_cast<std::uint8_t>(grey)));
      EXPECT_EQ(qAlpha(table[grey]), 255);
    }
  }
}

TEST(Palette, AnIndexedImageOfGreysShowsThePaletteColours) {
  QImage image(3, 1, QImage::Format_Indexed8);
  image.setColorTable(PaletteColourTable(Palette::Magma));
  image.scanLine(0)[0] = 0;
  image.scanLine(0)[1] = 128;
  image.scanLine(0)[2] = 255;
  EXPECT_EQ(image.pixel(0, 0), qRgb(251, 252, 191));
  EXPECT_EQ(image.pixel(1, 0), PaletteColour(Palette::Magma, 128));
  EXPECT_EQ(image.pixel(2, 0), qRgb(0, 0, 3));
  // Switching palettes changes only the table.
  image.setColorTable(PaletteColourTable(Palette::Grey));
  EXPECT_EQ(image.pixel(1, 0), qRgb(128, 128, 128));
}

// Keys are stored in the settings and given to --palette; names are shown in the menu.
TEST(Palette, KeysAndNamesChooseTheirPaletteAndOtherTextIsRefused) {
  const struct {
    const char16_t* text;
    std::optional<Palette> palette;
  } cases[] = {
      {u"grey", Palette::Grey},         {u"viridis", Palette::Viridis},
      {u"magma", Palette::Magma},       {u"inferno", Palette::Inferno},
      {u"cividis", Palette::Cividis},   {u"Cividis", Palette::Cividis},
      {u" INFERNO ", Palette::Inferno}, {u"", std::nullopt},
      {u"gray", std::nullopt},          {u"viridis2", std::nullopt},
      {u"jet", std::nullopt},           {u"difference", std::nullopt},
  };
  for (const auto& c : cases) {
    const QString text = QString::fromUtf16(c.text);
    EXPECT_EQ(PaletteFromKey(text), c.palette) << text.toStdString();
  }
  for (const Palette palette : kAllPalettes) {
    EXPECT_EQ(PaletteFromKey(PaletteKey(palette)), palette);
    EXPECT_EQ(PaletteFromKey(PaletteName(palette)), palette);
  }
  EXPECT_EQ(PaletteKey(Palette::Viridis), u"viridis");
  EXPECT_EQ(PaletteName(Palette::Viridis), u"Viridis");
  EXPECT_EQ(kDefaultPalette, Palette::Grey);
}

TEST(Palette, NextAndPreviousWrapAround) {
  EXPECT_EQ(NextPalette(Palette::Grey), Palette::Viridis);
  EXPECT_EQ(NextPalette(Palette::Viridis), Palette::Magma);
  EXPECT_EQ(NextPalette(Palette::Magma), Palette::Inferno);
  EXPECT_EQ(NextPalette(Palette::Inferno), Palette::Cividis);
  EXPECT_EQ(NextPalette(Palette::Cividis), Palette::Grey);
  EXPECT_EQ(PreviousPalette(Palette::Grey), Palette::Cividis);
  EXPECT_EQ(PreviousPalette(Palette::Viridis), Palette::Grey);
  for (const Palette palette : kAllPalettes) {
    EXPECT_EQ(PreviousPalette(NextPalette(palette)), palette);
    EXPECT_EQ(NextPalette(PreviousPalette(palette)), palette);
  }
}

}  // namespace

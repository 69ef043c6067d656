#pragma once
// Colour palettes of the map. A cell's colour is its palette's entry for the cell's designed grey
// (GreyOf): the peak (grey 0) takes the palette's bright end, the white end of the span (grey
// 255) its dark end. The grey palette gives exactly the designed grey.

#include <QList>
#include <QRgb>
#include <QString>
#include <QStringView>
#include <array>
#include <cstdint>
#include <optional>

// In menu order; Grey is the default. Difference is the diverging palette of a difference map
// (painted with the peak at +span and the white end at -span): white at grey 127 and 128, that
// is at a difference of 0, red towards grey 0 (the measurement louder), blue towards grey 255
// (the reference louder). It is not among the palettes the user steps through.
enum class Palette { Grey, Viridis, Magma, Inferno, Cividis, Difference };

inline constexpr Palette kDefaultPalette = Palette::Grey;
inline constexpr std::array<Palette, 5> kAllPalettes{
    Palette::Grey, Palette::Viridis, Palette::Magma, Palette::Inferno, Palette::Cividis};

// For menus: "Grey", "Viridis", "Magma", "Inferno", "Cividis".
QString PaletteName(Palette palette);
// Stable key for settings and the --palette option: "grey", "viridis", "magma", "inferno",
// "cividis".
QString PaletteKey(Palette palette);
// The palette whose key is `key`, ignoring letter case and surrounding blanks (so the display
// names parse too); nothing for any other text.
std::optional<Palette> PaletteFromKey(QStringView key);

// The palette after / before `palette` in menu order, wrapping around at either end.
Palette NextPalette(Palette palette);
Palette PreviousPalette(Palette palette);

// Colour of a cell of designed grey `grey`: the palette's 256-entry table (matplotlib's colormap,
// index 0 the dark end) at index 255 - grey; for Palette::Grey, qRgb(grey, grey, grey). Opaque.
QRgb PaletteColour(Palette palette, std::uint8_t grey);
// The 256 colours PaletteColour(palette, 0..255), indexed by grey: the colour table of a
// QImage::Format_Indexed8 image whose bytes are designed greys.
QList<QRgb> PaletteColourTable(Palette palette);

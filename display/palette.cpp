#include "palette.h"

#include <algorithm>

#include "palette_tables.h"

namespace {

struct PaletteInfo {
  const char* name;
  const char* key;
  const PaletteRgb* table;  // null for Grey
};

PaletteInfo InfoOf(Palette palette) {
  switch (palette) {
    case Palette::Grey:
      return {"Grey", "grey", nullptr};
    case Palette::Viridis:
      return {"Viridis", "viridis", kViridisTable};
    case Palette::Magma:
      return {"Magma", "magma", kMagmaTable};
    case Palette::Inferno:
      return {"Inferno", "inferno", kInfernoTable};
    case Palette::Cividis:
      return {"Cividis", "cividis", kCividisTable};
    case Palette::Difference:
      return {"Difference", "difference", nullptr};
  }
  return {"Grey", "grey", nullptr};  // not reached for a valid enumerator
}

std::size_t IndexOf(Palette palette) {
  const auto it = std::find(kAllPalettes.begin(), kAllPalettes.end(), palette);
  return it == kAllPalettes.end() ? 0 : static_cast<std::size_t>(it - kAllPalettes.begin());
}

// White blended towards red (grey 0) or blue (grey 255); greys 127 and 128 are white.
QRgb DifferenceColour(std::uint8_t grey) {
  constexpr PaletteRgb kLouder{178, 24, 43};
  constexpr PaletteRgb kQuieter{33, 102, 172};
  const bool louder = grey <= 127;
  const int strength = louder ? 127 - grey : grey - 128;  // 0..127
  const PaletteRgb& end = louder ? kLouder : kQuieter;
  const auto blend = [strength](int to) { return 255 - ((255 - to) * strength + 63) / 127; };
  return qRgb(blend(end.r), blend(end.g), blend(end.b));
}

}  // namespace

QString PaletteName(Palette palette) {
  return QString::fromLatin1(InfoOf(palette).name);
}

QString PaletteKey(Palette palette) {
  return QString::fromLatin1(InfoOf(palette).key);
}

std::optional<Palette> PaletteFromKey(QStringView key) {
  const QStringView trimmed = key.trimmed();
  for (const Palette palette : kAllPalettes) {
    if (trimmed.compare(QLatin1String(InfoOf(palette).key), Qt::CaseInsensitive) == 0) {
      return palette;
    }
  }
  return std::nullopt;
}

Palette NextPalette(Palette palette) {
  return kAllPalettes[(IndexOf(palette) + 1) % kAllPalettes.size()];
}

Palette PreviousPalette(Palette palette) {
  return kAllPalettes[(IndexOf(palette) + kAllPalettes.size() - 1) % kAllPalettes.size()];
}

QRgb PaletteColour(Palette palette, std::uint8_t grey) {
  if (palette == Palette::Difference) return DifferenceColour(grey);
  const PaletteRgb* table = InfoOf(palette).table;
  if (table == nullptr) return qRgb(grey, grey, grey);
  const PaletteRgb& c = table[255 - grey];
  return qRgb(c.r, c.g, c.b);
}

QList<QRgb> PaletteColourTable(Palette palette) {
  QList<QRgb> colours;
  colours.reserve(256);
  for (int grey = 0; grey < 256; ++grey) {
    colours.append(PaletteColour(palette, static_cast<std::uint8_t>(grey)));
  }
  return colours;
}

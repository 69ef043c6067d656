#pragma once
// Units of the levels for the legend and the read-out. The text export is in dB; the binary kinds
// use natural-logarithm scales, shown with their dB equivalent:
//   .mls        level = 20 ln(|X|^2) = 40 ln|X|;  dB = 20 log10|X| = 20 ln|X| / ln 10
//               = level / (2 ln 10)  (factor 10 / ln 10 / 20, about 0.2171)
//   WAV, PCM    level = 10 ln E;                  dB = 10 log10 E = 10 ln E / ln 10
//               = level / ln 10      (factor 1 / ln 10, about 0.4343)
// The scales have no offset, so the same factor converts differences (the span, the distance
// below the peak).

#include <QString>

#include "file_kind.h"

enum class LevelScale {
  MlsLn,     // 20 x ln of the squared magnitude (.mls)
  EnergyLn,  // 10 x ln of the slice energy (WAV and PCM recordings)
  Decibel,   // dB (text export)
};

LevelScale LevelScaleFor(ReaderKind kind);

// Short unit name: "20·ln|X|²", "10·ln E", "dB" (UTF-8 middle dot and superscript two).
QString LevelUnitName(LevelScale scale);

// dB per level unit: 1 / (2 ln 10), 1 / ln 10, 1.
double DecibelsPerUnit(LevelScale scale);
inline double ToDecibels(LevelScale scale, double level) {
  return level * DecibelsPerUnit(scale);
}

// The level with `decimals` decimals, then for the binary kinds its dB equivalent with one decimal
// more in brackets: "-12.3 (-2.67 dB)" for .mls, "-12.3 dB" for the text export. Numbers use
// decimalPoint; a value that rounds to zero shows no minus sign. decimals is limited to 0..9.
QString LevelText(LevelScale scale, double level, int decimals = 1,
                  const QString& decimalPoint = QStringLiteral("."));

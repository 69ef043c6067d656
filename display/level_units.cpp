#include "level_units.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>

namespace {

QString Fixed(double value, int decimals, const QString& decimalPoint) {
  char text[400];  // enough for any finite double in fixed notation with 9 decimals
  auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals).ptr;
  QString result = QString::fromLatin1(text, end - text);
  // "-0.0" and the like: no sign on a value shown as zero.
  if (result.startsWith(QLatin1Char('-')) &&
      std::all_of(result.cbegin() + 1, result.cend(),
                  [](QChar c) { return c == QLatin1Char('0') || c == QLatin1Char('.'); })) {
    result.remove(0, 1);
  }
  if (const auto point = result.indexOf(QLatin1Char('.')); point >= 0) {
    result.replace(point, 1, decimalPoint);
  }
  return result;
}

}  // namespace

LevelScale LevelScaleFor(ReaderKind kind) {
  switch (kind) {
    case ReaderKind::Mls:
      return LevelScale::MlsLn;
    case ReaderKind::Wav:
    case ReaderKind::Pcm:
    case ReaderKind::Sofa:
    case ReaderKind::Audio:
      return LevelScale::EnergyLn;
    case ReaderKind::TextMap:
      return LevelScale::Decibel;
  }
  return LevelScale::Decibel;  // not reached for a valid enumerator
}

QString LevelUnitName(LevelScale scale) {
  switch (scale) {
    case LevelScale::MlsLn:
      return QStringLiteral("20·ln|X|²");
    case LevelScale::EnergyLn:
      return QStringLiteral("10·ln E");
    case LevelScale::Decibel:
      return QStringLiteral("dB");
  }
  return QStringLiteral("dB");
}

double DecibelsPerUnit(LevelScale scale) {
  switch (scale) {
    case LevelScale::MlsLn:
      return 1.0 / (2.0 * std::numbers::ln10);
    case LevelScale::EnergyLn:
      return 1.0 / std::numbers::ln10;
    case LevelScale::Decibel:
      return 1.0;
  }
  return 1.0;
}

QString LevelText(LevelScale scale, double level, int decimals, const QString& decimalPoint) {
  decimals = std::clamp(decimals, 0, 9);
  const QString value = Fixed(level, decimals, decimalPoint);
  if (scale == LevelScale::Decibel) return value + QStringLiteral(" dB");
  return value + QStringLiteral(" (") +
         Fixed(ToDecibels(scale, level), decimals + 1, decimalPoint) + QStringLiteral(" dB)");
}

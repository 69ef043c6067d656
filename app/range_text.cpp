#include "range_text.h"

#include <QString>
#include <cmath>

#include "range_rule.h"

std::string RangeMeaning(LevelScale scale, float range, const std::string& decimalPoint) {
  const QString point = QString::fromStdString(decimalPoint);
  const QString span = QString::number(static_cast<double>(range), 'g', 7).replace(u'.', point);
  const QString decibels = QString::number(ToDecibels(scale, range), 'f', 1).replace(u'.', point);
  return QStringLiteral("Levels of this file: %1 — %2 = %3 dB")
      .arg(LevelUnitName(scale), span, decibels)
      .toStdString();
}

std::string FormatRangeText(float value, const std::string& decimalPoint) {
  const double magnitude = std::fabs(static_cast<double>(value));
  QString digits = QString::number(magnitude, 'f', 2);  // "ddd.dd"
  while (digits.endsWith(u'0')) digits.chop(1);
  if (digits.startsWith(u"0.")) digits.remove(0, 1);
  const qsizetype point = digits.indexOf(u'.');
  const std::string whole = digits.left(point).toStdString();
  const std::string decimals = digits.mid(point + 1).toStdString();
  const bool zero = whole.empty() && decimals.empty();
  return (value < 0.0f && !zero ? "-" : "") + whole + decimalPoint + decimals;
}

std::variant<float, RangeRefusal> ReadRangeAnswer(
    const std::string& answer,
    const std::function<std::optional<double>(const std::string&)>& toNumber) {
  const std::optional<double> number = toNumber(answer);
  if (!number) return RangeRefusal{"\"" + answer + "\" is not a number."};
  const auto range = RangeFromNumber(*number);
  if (const auto* fault = std::get_if<RangeFault>(&range)) {
    return RangeRefusal{*fault == RangeFault::Zero ? "The dB range cannot be 0."
                                                   : answer + " is too large for a dB range."};
  }
  return std::get<float>(range);
}

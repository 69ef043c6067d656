#include "figures_csv.h"

#include <charconv>

std::string FigureText(const std::optional<double>& value) {
  if (!value) return {};
  char text[32];
  const auto result =
      std::to_chars(text, text + sizeof text, *value, std::chars_format::general, 9);
  return {text, result.ptr};
}

std::string FiguresCsv(const std::vector<RoomFigures>& figures) {
  std::string csv = std::string(kFiguresCsvHeader) + "\n";
  for (std::size_t i = 0; i < figures.size(); ++i) {
    const RoomFigures& f = figures[i];
    csv += std::to_string(i + 1);
    for (const auto* value :
         {&f.onsetMs, &f.edtS, &f.t20S, &f.t30S, &f.c50Db, &f.c80Db, &f.d50Percent, &f.tsMs}) {
      csv += ',' + FigureText(*value);
    }
    csv += '\n';
  }
  return csv;
}

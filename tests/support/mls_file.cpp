#include "mls_file.h"

#include <algorithm>
#include <sstream>
#include <stdexcept>

namespace {
std::vector<std::uint8_t> BytesOf(const std::ostringstream& out) {
  const std::string text = out.str();
  return {text.begin(), text.end()};
}
}  // namespace

std::vector<std::uint8_t> MlsBytes(std::int32_t doubledPoints, std::int32_t micCount,
                                   const std::vector<ComplexPoint>& points) {
  std::ostringstream out;
  WriteMlsHeader(out, doubledPoints, micCount);
  WriteMlsPoints(out, points);
  return BytesOf(out);
}

std::vector<std::uint8_t> MlsBytes(const std::vector<std::vector<ComplexPoint>>& columns) {
  const std::size_t rows = columns.empty() ? 0 : columns.front().size();
  for (const auto& column : columns) {
    if (column.size() != rows) throw std::invalid_argument("MlsBytes: columns of unequal length");
  }
  std::ostringstream out;
  WriteMls(out, static_cast<std::int32_t>(columns.size()), static_cast<std::int32_t>(rows),
           [&](std::int32_t mic, std::span<ComplexPoint> column) {
             std::copy(columns[static_cast<std::size_t>(mic)].begin(),
                       columns[static_cast<std::size_t>(mic)].end(), column.begin());
           });
  return BytesOf(out);
}

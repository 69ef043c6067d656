#include "mls_file.h"

std::vector<std::uint8_t> MlsBytes(std::int32_t doubledPoints, std::int32_t micCount,
                                   const std::vector<ComplexPoint>& points) {
  std::vector<std::uint8_t> bytes;
  AppendInt32(bytes, doubledPoints);
  AppendInt32(bytes, micCount);
  for (const auto& [re, im] : points) {
    AppendFloat32(bytes, re);
    AppendFloat32(bytes, im);
  }
  return bytes;
}

std::vector<std::uint8_t> MlsBytes(const std::vector<std::vector<ComplexPoint>>& columns) {
  std::vector<ComplexPoint> points;
  for (const auto& column : columns) points.insert(points.end(), column.begin(), column.end());
  const auto rows = columns.empty() ? 0 : static_cast<std::int32_t>(columns.front().size());
  return MlsBytes(2 * rows, static_cast<std::int32_t>(columns.size()), points);
}

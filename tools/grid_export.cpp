#include "grid_export.h"

#include <bit>
#include <charconv>
#include <cstdint>
#include <vector>

static_assert(std::endian::native == std::endian::little, "float32 cells are written as is");

std::string FloatText(float value) {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

void WriteNpy(const LevelGrid& grid, std::ostream& out) {
  std::string header = "{'descr': '<f4', 'fortran_order': False, 'shape': (" +
                       std::to_string(grid.RowCount()) + ", " + std::to_string(grid.MicCount()) +
                       "), }";
  // Magic (6) + version (2) + length (2) + header, padded with blanks to a multiple of 64 and
  // ended by a newline.
  const std::size_t unpadded = 10 + header.size() + 1;
  header.append((64 - unpadded % 64) % 64, ' ');
  header.push_back('\n');
  out.write("\x93NUMPY\x01\x00", 8);
  const auto length = static_cast<std::uint16_t>(header.size());
  const char lengthBytes[2] = {static_cast<char>(length & 0xFF), static_cast<char>(length >> 8)};
  out.write(lengthBytes, 2);
  out << header;
  // Without cells there is nothing more to write, however large the other count: no row buffer
  // of MicCount floats, no pass over RowCount empty rows.
  if (grid.RowCount() == 0 || grid.MicCount() == 0) return;
  std::vector<float> row(static_cast<std::size_t>(grid.MicCount()));
  for (std::int32_t r = 1; r <= grid.RowCount(); ++r) {
    for (std::int32_t c = 1; c <= grid.MicCount(); ++c) row[c - 1] = grid.At(r, c);
    out.write(reinterpret_cast<const char*>(row.data()),
              static_cast<std::streamsize>(row.size() * sizeof(float)));
  }
}

void WriteCsv(const LevelGrid& grid, std::ostream& out) {
  std::string line;
  for (std::int32_t r = 1; r <= grid.RowCount(); ++r) {
    line.clear();
    for (std::int32_t c = 1; c <= grid.MicCount(); ++c) {
      if (c > 1) line.push_back(',');
      line += FloatText(grid.At(r, c));
    }
    line.push_back('\n');
    out << line;
  }
}

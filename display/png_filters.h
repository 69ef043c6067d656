#pragma once
// PNG's row filters and two ways of choosing among them, for the PNG writer.

#include <cstddef>
#include <span>

enum class PngFilterRule {
  // Unfiltered, except a row equal to the one above, which becomes zeros through Up: the fastest,
  // and the smallest for maps of noisy greys at one pixel per cell.
  NoneOrRepeat,
  // Per row the filter whose bytes, read as signed, have the smallest sum of magnitudes (the
  // usual heuristic of PNG encoders): smaller for colours and zoomed cells.
  Adaptive,
};

// What to compress for one row: the filter type and the filtered bytes, in one or two parts (an
// unfiltered row is not copied: its type, then the row itself).
struct PngRowParts {
  std::span<const unsigned char> first;
  std::span<const unsigned char> second;
};

// Filters one row of bytesPerPixel-byte pixels. previous is the row above, empty for the first
// row. out is scratch space of 2 * row.size() + 1 bytes that the parts may point into.
PngRowParts FilterPngRow(PngFilterRule rule, std::size_t bytesPerPixel,
                         std::span<const unsigned char> row,
                         std::span<const unsigned char> previous, std::span<unsigned char> out);

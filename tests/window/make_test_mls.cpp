// Writes an .mls file for the real-window tests: every point real, the first point of each column
// the loudest (painted black), the rest falling with time and varying across the microphones, so
// that the map has loud first rows and many greys. FIRST (10 unless given, at least 1.6) is the
// first point's value: the lower, the more rows lie within the span below the peak (at 2, up to
// the first 40 % of the rows at the default span; at 10, a few rows).
// Usage: make_test_mls OUT.mls MICROPHONES POINTS [FIRST]

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "mls_writer.h"

int main(int argc, char** argv) {
  if (argc != 4 && argc != 5) {
    std::fprintf(stderr, "usage: make_test_mls OUT.mls MICROPHONES POINTS [FIRST]\n");
    return 2;
  }
  const long microphones = std::strtol(argv[2], nullptr, 10);
  const long points = std::strtol(argv[3], nullptr, 10);
  // Every later point is below 1.6, so the first stays the loudest.
  const float first = argc == 5 ? std::strtof(argv[4], nullptr) : 10.0f;
  if (!(first >= 1.6f) || !std::isfinite(first)) {
    std::fprintf(stderr, "make_test_mls: FIRST must be a number from 1.6\n");
    return 2;
  }
  if (microphones <= 0 || points <= 0 || microphones > std::numeric_limits<std::int32_t>::max() ||
      points > std::numeric_limits<std::int32_t>::max() / 2) {
    std::fprintf(stderr, "make_test_mls: the counts must be positive 32-bit numbers\n");
    return 2;
  }
  const double rows = static_cast<double>(points);
  const auto fillColumn = [rows, first](std::int32_t mic, std::span<ComplexPoint> column) {
    const double m = mic + 1;  // 1-based, as the viewer counts
    column[0].re = first;
    for (std::size_t t = 1; t < column.size(); ++t) {
      const double r = static_cast<double>(t + 1);
      column[t].re = static_cast<float>(std::exp(-6.0 * r / rows) *
                                        (1.0 + 0.6 * std::sin(0.37 * m + 0.05 * r)));
    }
  };
  if (!WriteMlsFile(argv[1], static_cast<std::int32_t>(microphones),
                    static_cast<std::int32_t>(points), fillColumn)) {
    std::perror(argv[1]);
    return 1;
  }
  return 0;
}

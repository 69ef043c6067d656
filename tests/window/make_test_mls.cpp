// Writes an .mls file for the real-window tests: every point real, the first point of each column
// the loudest (painted black), the rest falling with time and varying across the microphones, so
// that the map has loud first rows and many greys.
// Usage: make_test_mls OUT.mls MICROPHONES POINTS

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "mls_writer.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: make_test_mls OUT.mls MICROPHONES POINTS\n");
    return 2;
  }
  const long microphones = std::strtol(argv[2], nullptr, 10);
  const long points = std::strtol(argv[3], nullptr, 10);
  if (microphones <= 0 || points <= 0 || microphones > std::numeric_limits<std::int32_t>::max() ||
      points > std::numeric_limits<std::int32_t>::max() / 2) {
    std::fprintf(stderr, "make_test_mls: the counts must be positive 32-bit numbers\n");
    return 2;
  }
  const double rows = static_cast<double>(points);
  const auto fillColumn = [rows](std::int32_t mic, std::span<ComplexPoint> column) {
    const double m = mic + 1;  // 1-based, as the viewer counts
    column[0].re = 10.0f;
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

// Writes the example complex-spectrum measurement: a row of microphone positions moving away
// from a source in a room. Direct sound arrives later and weaker with distance, a floor and two
// wall reflections follow, a decaying diffuse tail and a little noise fill the rest.
// Deterministic: the same file on every machine.
// Usage: make_example_mls OUT.mls [MICROPHONES] [POINTS]

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <numbers>
#include <vector>

#include "lcg.h"
#include "mls_writer.h"

namespace {

// A short pulse centred on `at` (in points).
void AddPulse(std::vector<double>& amplitude, double at, double height) {
  for (std::size_t t = 0; t < amplitude.size(); ++t) {
    const double x = (static_cast<double>(t) - at) / 1.2;
    amplitude[t] += height * std::exp(-x * x);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: make_example_mls OUT.mls [MICROPHONES] [POINTS]\n");
    return 2;
  }
  const int microphones = argc > 2 ? std::atoi(argv[2]) : 64;
  const int points = argc > 3 ? std::atoi(argv[3]) : 256;
  if (microphones <= 0 || points <= 0 || points > std::numeric_limits<std::int32_t>::max() / 2) {
    return 2;
  }

  constexpr double kPointsPerMetre = 8.0;  // time resolution of one point, as distance
  constexpr double kSourceHeight = 1.5;    // metres above the floor, as the microphones
  constexpr double kWallA = 6.0, kWallB = 11.0;
  Lcg random;  // drawn in file order, so the columns must come in order
  const auto fillColumn = [&](std::int32_t m, std::span<ComplexPoint> column) {
    const double distance = 1.0 + 0.15 * m;
    std::vector<double> amplitude(column.size(), 0.0);
    const double direct = distance * kPointsPerMetre;
    AddPulse(amplitude, direct, 1.0 / distance);
    const double floorPath = std::hypot(distance, 2 * kSourceHeight);
    AddPulse(amplitude, floorPath * kPointsPerMetre, 0.7 / floorPath);
    const double wallPathA = std::hypot(distance, 2 * kWallA);
    AddPulse(amplitude, wallPathA * kPointsPerMetre, 0.5 / wallPathA);
    if (distance < kWallB) {  // the far wall, beyond the microphones
      const double wallPathB = 2 * kWallB - distance;
      AddPulse(amplitude, wallPathB * kPointsPerMetre, 0.5 / wallPathB);
    }
    for (std::size_t t = 0; t < column.size(); ++t) {
      const double after = static_cast<double>(t) - direct;
      const double tail = after > 0 ? 0.6 / distance * std::exp(-after / 60.0) : 0.0;
      const double level = amplitude[t] + tail * random.Next() + 0.03 * random.Next();
      const double phase = 2 * std::numbers::pi * random.Next();
      column[t] = {static_cast<float>(level * std::cos(phase)),
                   static_cast<float>(level * std::sin(phase))};
    }
  };
  if (!WriteMlsFile(argv[1], microphones, points, fillColumn)) {
    std::perror(argv[1]);
    return 1;
  }
  return 0;
}

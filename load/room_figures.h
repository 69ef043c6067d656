#pragma once
// The room-acoustic figures of one impulse response: onset, early decay time, reverberation times
// from the -20 and -30 dB ranges of the Schroeder curve, clarity, definition and centre time.
// Computed in double precision without noise compensation: a noisy tail lengthens the decay
// times. A figure the response does not allow is nullopt.

#include <optional>
#include <span>
#include <vector>

struct RoomFigures {
  std::optional<double> onsetMs;     // first sample within 20 dB of the loudest
  std::optional<double> edtS;        // early decay time: 0 to -10 dB of the curve, times 6
  std::optional<double> t20S;        // -5 to -25 dB, times 3
  std::optional<double> t30S;        // -5 to -35 dB, times 2
  std::optional<double> c50Db;       // clarity: energy of the first 50 ms against the rest
  std::optional<double> c80Db;       // the same with 80 ms
  std::optional<double> d50Percent;  // definition: the first 50 ms as a share of all
  std::optional<double> tsMs;        // centre time: the energy's mean arrival after the onset

  bool operator==(const RoomFigures&) const = default;
};

// Scratch space of ComputeRoomFigures, kept between calls so that a run over many responses
// allocates once.
struct FiguresScratch {
  std::vector<double> remaining;  // the Schroeder curve: the energy from n to the end
  std::vector<double> levels;     // the curve in dB over the decay ranges
};

// The figures of response h at rate samples per second (positive and finite). An all-zero
// response has none. Every sample must be finite (std::invalid_argument otherwise).
RoomFigures ComputeRoomFigures(std::span<const double> response, double rate,
                               FiguresScratch& scratch);
RoomFigures ComputeRoomFigures(std::span<const double> response, double rate);

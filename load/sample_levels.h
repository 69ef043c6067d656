#pragma once
// Slice levels of time-domain samples, shared by every kind that holds samples (audio files and
// SOFA sets): samples in 16-bit units (a float sample of 1.0 counts as 32768), each squared in
// double precision, the running sum of a slice rounded to single precision after every addition,
// 10 ln of the sum in double precision stored in single precision; a silent slice stores 0.
// A column's samples may arrive in pieces: the sums are kept in the grid's own column, so that no
// more than a piece of samples is ever held.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

// A float sample of 1.0 (full scale) in 16-bit units.
inline constexpr double kSixteenBitUnits = 32768.0;

struct SliceFault {
  std::int32_t row;      // from 1
  bool sampleNotFinite;  // else the slice's energy is beyond the single-precision range
};

// Sums the squares of one column's samples into its slices.
class SliceEnergies {
 public:
  // column: the rows of the grid's column, all 0, which receive the sums and then the levels.
  SliceEnergies(std::span<float> column, std::int32_t decimation)
      : column_(column), decimation_(static_cast<std::size_t>(decimation)) {}

  // The next count samples of the column, stride apart from data[0]; samples beyond the last
  // slice are ignored.
  void Add(const double* data, std::size_t count, std::size_t stride = 1);
  // Samples of the column still wanted.
  std::size_t Missing() const { return column_.size() * decimation_ - next_; }

  // Turns the sums into levels and gives their largest (0 for none); the first slice without a
  // level instead (the column is then partly sums).
  struct Levels {
    float peak = 0.0f;
    std::optional<SliceFault> fault;
  };
  Levels Finish();

 private:
  std::span<float> column_;
  std::size_t decimation_;
  std::size_t next_ = 0;  // index of the next sample
  std::optional<SliceFault> fault_;
};

// The levels of a whole column of samples at once (levels.size() rows).
SliceEnergies::Levels SliceLevels(std::span<const double> samples, std::int32_t decimation,
                                  std::span<float> levels);

// The message of a fault in the column named where ("measurement 12", "channel 3").
std::string SliceFaultText(const std::string& where, const SliceFault& fault);

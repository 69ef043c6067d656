#pragma once
// SOFA sets written through netCDF-C and audio files written through libsndfile, for the tests
// of the sample readers.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// A SOFA set whose Data.IR sample at (m, r, e, n) is sample(m, r, e, n).
struct SofaSpec {
  std::string dataType = "FIR";
  std::string convention = "GeneralFIR";
  std::vector<std::string> irDimensions = {"M", "R", "N"};  // in the order stored
  std::size_t m = 3, r = 1, e = 1, n = 32;
  bool floatSamples = false;  // float32 instead of float64
  bool compressed = false;
  bool writeIr = true;
  std::function<double(std::size_t m, std::size_t r, std::size_t e, std::size_t n)> sample =
      [](std::size_t measurement, std::size_t, std::size_t, std::size_t index) {
        return index == 0 ? 0.1 * static_cast<double>(measurement + 1) : 0.0;
      };
  std::vector<double> rates = {48000.0};  // one value, or one per measurement
  std::vector<double> positions;          // none, 3, or 3 per measurement
  std::string positionType = "spherical";
  std::vector<double> delays = {0.0};  // one per receiver (dimension I, R)
};

void WriteSofa(const std::string& path, const SofaSpec& shape);

// An audio file of libsndfile's format (SF_FORMAT_*) holding frames of channels samples each,
// given as 32-bit integers (left-justified, as sf_write_int takes them) or floats.
void WriteAudioInts(const std::string& path, int format, int channels, int rate,
                    const std::vector<std::int32_t>& interleaved);
void WriteAudioDoubles(const std::string& path, int format, int channels, int rate,
                       const std::vector<double>& interleaved);

// The level of one slice by the rule the readers follow, from samples in 16-bit units.
float ExpectedLevel(const std::vector<double>& slice);

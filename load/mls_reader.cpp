// Complex-spectrum ".mls" file: two little-endian int32 (N, microphone count), then per
// microphone R = N/2 points of (re, im) float32. Level of a point: 20 ln(re^2 + im^2).

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "column_reporter.h"
#include "input_file.h"
#include "load_error.h"
#include "readers.h"
#include "rounding.h"

namespace {

constexpr std::uint64_t kHeaderBytes = 8;
constexpr std::uint64_t kPointBytes = 8;
constexpr std::size_t kPointsPerBlock = std::size_t{1} << 17;  // 1 MiB of points per read

static_assert(std::endian::native == std::endian::little, "points are decoded in place");

// Level of one point, or NaN when its squared magnitude is not finite in single precision.
inline float PointLevel(float re, float im) {
  const double magnitude = static_cast<double>(re) * re + static_cast<double>(im) * im;
  const float p = static_cast<float>(magnitude);
  if (!(p <= std::numeric_limits<float>::max())) return std::numeric_limits<float>::quiet_NaN();
  if (p == 0.0f) return 0.0f;
  return static_cast<float>(20.0 * std::log(static_cast<double>(p)));
}

}  // namespace

LoadResult ReadMlsFile(const ReaderInput& input) {
  InputFile file(input.fileName);
  unsigned char header[kHeaderBytes] = {};
  if (file.ReadAt(0, header, sizeof header) < sizeof header) {
    throw LoadError("it is shorter than its header says (" + std::to_string(file.Size()) +
                    " bytes; the header alone takes 8)");
  }
  const std::int32_t doubledPoints = ReadInt32LE(header);
  const std::int32_t micCount = ReadInt32LE(header + 4);
  const std::int32_t rowCount = RoundToInt32(doubledPoints / 2.0);
  if (rowCount < 0) {
    throw LoadError("its header gives a negative number of points (" +
                    std::to_string(doubledPoints) + ")");
  }
  if (micCount < 0) {
    throw LoadError("its header gives a negative number of microphones (" +
                    std::to_string(micCount) + ")");
  }
  // Checked by division, so that no product of header fields can overflow.
  const std::uint64_t pointsInFile = (file.Size() - kHeaderBytes) / kPointBytes;
  if (micCount > 0 &&
      static_cast<std::uint64_t>(rowCount) > pointsInFile / static_cast<std::uint64_t>(micCount)) {
    throw LoadError(
        "it is shorter than its header says (" + std::to_string(micCount) + " microphones of " +
        std::to_string(rowCount) + " points need " +
        std::to_string(kHeaderBytes + kPointBytes * static_cast<std::uint64_t>(rowCount) *
                                          static_cast<std::uint64_t>(micCount)) +
        " bytes; the file has " + std::to_string(file.Size()) + ")");
  }

  Measurement result;
  result.grid = NewGrid(input, rowCount, micCount);
  result.peakLevel = input.peakLevel;
  file.AdviseSequential();

  std::vector<float> block(2 * std::min<std::size_t>(kPointsPerBlock, rowCount));
  std::uint64_t offset = kHeaderBytes;
  ColumnReporter reporter(input.host, micCount, ProgressStep::AfterColumnCountingIt);
  if (rowCount == 0) {
    reporter.FinishEmptyColumns(micCount);
    return result;
  }
  for (std::int32_t m = 1; m <= micCount; ++m) {
    std::span<float> column = result.grid.DataColumn(m);
    float peak = result.peakLevel;
    for (std::size_t done = 0; done < column.size();) {
      const std::size_t count = std::min(block.size() / 2, column.size() - done);
      file.ReadAt(offset, block.data(), count * kPointBytes);  // size was checked above
      offset += count * kPointBytes;
      for (std::size_t i = 0; i < count; ++i) {
        const float level = PointLevel(block[2 * i], block[2 * i + 1]);
        if (std::isnan(level)) {
          throw LoadError("point " + std::to_string(done + i + 1) + " of microphone " +
                          std::to_string(m) +
                          " has a squared magnitude that is not a finite number");
        }
        RaisePeak(peak, level);
        column[done + i] = level;
      }
      done += count;
    }
    result.peakLevel = peak;
    reporter.FinishColumn(m);
  }
  return result;
}

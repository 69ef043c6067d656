// Complex-spectrum ".mls" file: two little-endian int32 (N, microphone count), then per
// microphone R = N/2 points of (re, im) float32. Level of a point: 20 ln(re^2 + im^2).

#include <algorithm>
#include <atomic>
#include <bit>
#include <limits>
#include <thread>
#include <vector>

#include "column_reporter.h"
#include "column_workers.h"
#include "huge_pages.h"
#include "input_file.h"
#include "level_grid.h"
#include "load_error.h"
#include "point_levels.h"
#include "readers.h"
#include "rounding.h"

namespace {

constexpr std::uint64_t kHeaderBytes = 8;
constexpr std::uint64_t kPointBytes = 8;
// Points per read: 256 KiB, which stays in the cache while its levels are computed.
constexpr std::size_t kPointsPerBlock = std::size_t{1} << 15;
// Below this many points, starting threads costs more than it saves.
constexpr std::uint64_t kPointsWorthAThread = std::uint64_t{1} << 17;
constexpr unsigned kMaxWorkers = 8;

static_assert(std::endian::native == std::endian::little, "points are decoded in place");

int WorkerCount(std::uint64_t points, std::int32_t micCount) {
  const unsigned cores = std::min(std::thread::hardware_concurrency(), kMaxWorkers);
  if (cores < 2 || micCount < 2 || points < kPointsWorthAThread) return 0;
  return static_cast<int>(std::min<std::uint64_t>(cores, static_cast<std::uint64_t>(micCount)));
}

// Columns a worker claims at a time: enough to fill a whole huge page of the grid, so that the
// workers fault and clear pages of their own, while leaving each worker several claims.
std::int32_t ColumnsPerClaim(std::int32_t rowCount, std::int32_t micCount, int workers) {
  constexpr std::uint64_t kHugePage = std::uint64_t{2} << 20;
  const std::uint64_t columnBytes = sizeof(float) * static_cast<std::uint64_t>(rowCount);
  const std::uint64_t perPage = (kHugePage + columnBytes - 1) / columnBytes;
  const std::uint64_t fair = static_cast<std::uint64_t>(micCount) / (4 * std::max(workers, 1));
  return static_cast<std::int32_t>(std::max<std::uint64_t>(1, std::min(perPage, fair)));
}

// Reads the points of one microphone into its column; the largest level is its peak.
class ColumnReader {
 public:
  ColumnReader(const InputFile& file, LevelGrid& grid, int workers)
      : file_(file),
        grid_(grid),
        blocks_(static_cast<std::size_t>(std::max(workers, 1))),
        peaks_(static_cast<std::size_t>(grid.MicCount()) + 1) {}

  void Read(std::int32_t m, int worker, const std::atomic<bool>& stop) {
    std::vector<float>& block = blocks_[static_cast<std::size_t>(worker)];
    std::span<float> column = grid_.DataColumn(m);
    if (block.empty()) block.resize(2 * std::min(kPointsPerBlock, column.size()));
    std::uint64_t offset = kHeaderBytes + kPointBytes * (m - 1) * column.size();
    float peak = -std::numeric_limits<float>::infinity();
    for (std::size_t done = 0; done < column.size() && !stop.load(std::memory_order_relaxed);) {
      const std::size_t count = std::min(block.size() / 2, column.size() - done);
      file_.ReadAt(offset, block.data(), count * kPointBytes);  // size was checked before
      offset += count * kPointBytes;
      const LevelsSummary levels = ComputeLevels(
          kernel_, std::span<const float>(block).first(2 * count), column.subspan(done, count));
      if (levels.firstBad < count) {
        throw LoadError("point " + std::to_string(done + levels.firstBad + 1) + " of microphone " +
                        std::to_string(m) + " has a squared magnitude that is not a finite number");
      }
      peak = std::max(peak, levels.peak);
      done += count;
    }
    peaks_[static_cast<std::size_t>(m)] = peak;
  }

  float Peak(std::int32_t m) const { return peaks_[static_cast<std::size_t>(m)]; }

 private:
  const InputFile& file_;
  LevelGrid& grid_;
  const LevelKernel kernel_ = FastestLevelKernel();
  std::vector<std::vector<float>> blocks_;  // by worker
  std::vector<float> peaks_;                // by column
};

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
  ColumnReporter reporter(input.host, micCount, ProgressStep::AfterColumnCountingIt);
  if (rowCount == 0) {
    reporter.FinishEmptyColumns(micCount);
    return result;
  }
  if (micCount == 0) return result;  // nothing to read and no column to report
  file.AdviseSequential();
  const std::span<float> cells = result.grid.DataColumn(1);
  AdviseHugePages(cells.data(), cells.size_bytes() * static_cast<std::size_t>(micCount));
  const std::uint64_t points = static_cast<std::uint64_t>(rowCount) * micCount;
  const int workers = WorkerCount(points, micCount);
  ColumnReader reader(file, result.grid, workers);
  // Declared after the grid and the file, so that the workers are joined before either goes.
  ColumnWorkers columns(
      micCount, workers,
      [&reader](std::int32_t m, int worker, const std::atomic<bool>& stop) {
        reader.Read(m, worker, stop);
      },
      ColumnsPerClaim(rowCount, micCount, workers));
  const std::uint64_t lastByte = kHeaderBytes + kPointBytes * points - 1;
  for (std::int32_t m = 1; m <= micCount; ++m) {
    columns.Wait(m);
    RaisePeak(result.peakLevel, reader.Peak(m));
    reporter.FinishColumn(m);
    // Workers may have read ahead before the yield; a file cut during it still fails the load.
    unsigned char byte = 0;
    if (workers > 0 && m < micCount) file.ReadAt(lastByte, &byte, 1);
  }
  return result;
}

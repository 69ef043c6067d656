// Fuzzes what the headless renderer does with a file beyond loading it: the view state, the
// map's sizing and painting, the PNG encoder and the grid writers, in memory and through the
// all-or-nothing output files. Every output must read back exactly.
//
// Input: byte 0 picks the reader (bits 0-1: .mls, .wav, .pcm, text export), the peak level left
// by an earlier file (bits 2-3) and whether the output files are committed (bit 4, clear:
// committed); byte 1 picks the dB range, 0 and negative spans included; the rest is the file,
// whose last byte also picks the answer to the period prompt.
//
// Nothing here needs a QGuiApplication: images are made, encoded and decoded without one.

#include <QByteArray>
#include <QImage>
#include <cstdint>
#include <iterator>
#include <limits>
#include <optional>
#include <sstream>

#include "fuzz_host.h"
#include "grid_export.h"
#include "render_checks.h"
#include "view_state.h"

namespace {

struct Reader {
  const char* extension;
  std::int32_t maxRowCount;  // the recording readers give at most 400 rows
};
constexpr Reader kReaders[] = {
    {".mls", INT32_MAX}, {".wav", 400}, {".pcm", 400}, {".__txt", INT32_MAX}};

constexpr float kPeaksBefore[] = {0.0f, 60.0f, 1000.0f, 3e38f};

constexpr float kRanges[] = {kStartRangeDb,
                             0.0f,
                             -0.0f,
                             -50.0f,
                             std::numeric_limits<float>::denorm_min(),
                             -std::numeric_limits<float>::denorm_min(),
                             1e-30f,
                             1e-7f,
                             0.5f,
                             1.0f,
                             30.0f,
                             255.0f,
                             1e30f,
                             std::numeric_limits<float>::max(),
                             std::numeric_limits<float>::lowest(),
                             3.0f};

// Larger grids are neither painted nor written, so that a run stays fast and small.
constexpr std::int64_t kMaxCells = std::int64_t{4} << 20;
// Cells and lines beyond this are not written as CSV: text is the slowest output by far.
constexpr std::int64_t kMaxCsvItems = std::int64_t{1} << 18;
// The largest side libpng writes and reads by default.
constexpr std::int32_t kMaxPngSide = 1000000;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const Reader& reader = kReaders[data[0] & 3];
  const float peakBefore = kPeaksBefore[(data[0] >> 2) & 3];
  const bool commit = (data[0] & 0x10) == 0;
  const float range = kRanges[data[1] % std::size(kRanges)];
  const std::uint8_t* file = data + 2;
  const std::size_t fileSize = size - 2;

  auto measurement =
      FuzzLoadMeasurement(file, fileSize, reader.extension, PickPeriodAnswer(file, fileSize),
                          reader.maxRowCount, peakBefore);
  if (!measurement) return 0;
  ViewState state;
  state.RangeDb = range;
  state.Decimation = kStartDecimation;
  state.PeakLevel = peakBefore;
  TakeMeasurement(state, std::move(*measurement));
  const LevelGrid& grid = state.LevelGrid;
  const std::int64_t cells = std::int64_t{grid.RowCount()} * grid.MicCount();
  // A grid without cells costs nothing to paint or to write as NPY, whatever its sides.
  if (cells > kMaxCells) return 0;

  QImage image;
  QByteArray png;
  if (cells == 0 || (grid.MicCount() <= kMaxPngSide && grid.RowCount() <= kMaxPngSide)) {
    image = CheckPaint(state);
    if (!image.isNull()) png = CheckPngRoundTrip(image);
  }
  std::ostringstream npy;
  WriteNpy(grid, npy);
  CheckNpy(grid, npy.str());
  // The CSV costs a line per row even without cells.
  std::optional<std::string> csv;
  if (cells + grid.RowCount() <= kMaxCsvItems) {
    std::ostringstream text;
    WriteCsv(grid, text);
    csv = text.str();
    CheckCsv(grid, *csv);
  }
  CheckOutputFiles(image, png, grid, npy.str(), csv ? &*csv : nullptr, commit);
  return 0;
}

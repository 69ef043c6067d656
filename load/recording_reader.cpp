#include "recording_reader.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "column_reporter.h"
#include "load_error.h"
#include "point_levels.h"
#include "rounding.h"

namespace {

constexpr double kSecondsBelow = 10.0;  // smaller answers are seconds, others samples

// 16-bit integer samples: the square is an exact integer; the sum is rounded to single
// precision after every addition.
struct Int16Sample {
  static constexpr std::size_t kBytes = 2;
  static float AddSquare(float sum, const unsigned char* bytes) {
    const std::int32_t s = ReadInt16LE(bytes);
    return static_cast<float>(static_cast<double>(sum) + static_cast<double>(s * s));
  }
  static bool IsFinite(const unsigned char*) { return true; }
};

// Single-precision samples: the square and the sum are each rounded to single precision
// (separate statements, so that no fused multiply-add skips a rounding).
struct Float32Sample {
  static constexpr std::size_t kBytes = 4;
  static float AddSquare(float sum, const unsigned char* bytes) {
    const float s = ReadFloat32LE(bytes);
    const float square = s * s;
    return sum + square;
  }
  static bool IsFinite(const unsigned char* bytes) { return std::isfinite(ReadFloat32LE(bytes)); }
};

// Hands out the used start of each block. Blocks far apart are read alone (only their used
// bytes); blocks close together are read many at a time, so that small periods do not cost a
// read each. Bytes beyond the sample data read as 0.
class BlockStarts {
 public:
  BlockStarts(const InputFile& file, const RecordingData& data, std::uint64_t strideBytes,
              std::size_t usedBytes)
      : file_(file), data_(data), stride_(strideBytes), used_(usedBytes) {
    const bool together = strideBytes - usedBytes <= kMaxGapBytes;
    span_ = together ? std::max(usedBytes, kWindowBytes) : usedBytes;
    buffer_.resize(span_);
  }

  const unsigned char* Block(std::int32_t m) {
    const std::uint64_t begin = static_cast<std::uint64_t>(m) * stride_;
    if (!(haveAny_ && begin >= first_ && begin + used_ <= first_ + span_)) Fill(begin);
    return buffer_.data() + (begin - first_);
  }

 private:
  static constexpr std::uint64_t kMaxGapBytes = 16 * 1024;
  static constexpr std::size_t kWindowBytes = 256 * 1024;

  void Fill(std::uint64_t begin) {
    std::size_t got = 0;
    if (begin < data_.bytes) {
      const auto count =
          static_cast<std::size_t>(std::min<std::uint64_t>(span_, data_.bytes - begin));
      got = file_.ReadAt(data_.offset + begin, buffer_.data(), count);
    }
    std::fill(buffer_.begin() + static_cast<std::ptrdiff_t>(got), buffer_.end(), 0);
    first_ = begin;
    haveAny_ = true;
  }

  const InputFile& file_;
  const RecordingData& data_;
  std::uint64_t stride_;
  std::size_t used_;
  std::size_t span_ = 0;
  std::vector<unsigned char> buffer_;
  std::uint64_t first_ = 0;
  bool haveAny_ = false;
};

[[noreturn]] void FailSlice(bool sampleNotFinite, std::int32_t column, std::int32_t row) {
  const std::string where = "microphone column " + std::to_string(column);
  if (sampleNotFinite) {
    throw LoadError(where + " holds a sample that is not a finite number (in row " +
                    std::to_string(row) + ")");
  }
  throw LoadError("a slice of " + where + " (row " + std::to_string(row) +
                  ") has an energy beyond the single-precision range");
}

template <typename Sample>
void FillGrid(const ReaderInput& input, const InputFile& file, const RecordingData& data,
              const BlockShape& shape, Measurement& result) {
  const std::int32_t decimation = input.decimation;
  const std::size_t usedBytes = static_cast<std::size_t>(decimation) *
                                static_cast<std::size_t>(shape.rowCount) * Sample::kBytes;
  const std::uint64_t strideBytes =
      (static_cast<std::uint64_t>(shape.lastIndex) + 1) * Sample::kBytes;
  BlockStarts blocks(file, data, strideBytes, usedBytes);

  const std::int32_t micCount = shape.micCount;
  ColumnReporter reporter(input.host, micCount, ProgressStep::AfterColumnNotCountingIt);
  if (shape.rowCount == 0) {
    reporter.FinishEmptyColumns(micCount);
    return;
  }
  // A column's slice energies first, then their logarithms together through the vector kernel.
  const LevelKernel kernel = FastestLevelKernel();
  const auto rows = static_cast<std::size_t>(shape.rowCount);
  std::vector<double> energies(rows);
  std::vector<double> logs(rows);
  for (std::int32_t m = 0; m < micCount; ++m) {
    const unsigned char* block = blocks.Block(m);
    StartCleanVectorLoop();
    for (std::size_t row = 0; row < rows; ++row) {
      const unsigned char* slice =
          block + row * static_cast<std::size_t>(decimation) * Sample::kBytes;
      float cell = 0.0f;
      for (std::int32_t k = 0; k < decimation; ++k)
        cell = Sample::AddSquare(cell, slice + k * Sample::kBytes);
      if (!std::isfinite(cell)) {
        bool sampleNotFinite = false;
        for (std::int32_t k = 0; k < decimation; ++k) {
          sampleNotFinite = sampleNotFinite || !Sample::IsFinite(slice + k * Sample::kBytes);
        }
        FailSlice(sampleNotFinite, m + 1, static_cast<std::int32_t>(row) + 1);
      }
      energies[row] = cell;
    }
    NaturalLogs(kernel, energies, logs);
    std::span<float> column = result.grid.DataColumn(m + 1);
    float peak = result.peakLevel;
    for (std::size_t row = 0; row < rows; ++row) {
      const float cell = energies[row] > 0.0 ? static_cast<float>(10.0 * logs[row]) : 0.0f;
      RaisePeak(peak, cell);
      column[row] = cell;
    }
    result.peakLevel = peak;
    reporter.FinishColumn(m + 1);
  }
}

}  // namespace

BlockShape ShapeBlocks(double period, const std::string& answerText, std::int32_t sampleRate,
                       std::int32_t decimation, double sampleCount) {
  if (decimation < 1) {
    throw LoadError("the slice length is " + std::to_string(decimation) +
                    " samples; it must be at least 1");
  }
  BlockShape shape{};
  const bool inSeconds = period < kSecondsBelow;
  const double blockSamples = inSeconds ? period * sampleRate : period;
  shape.lastIndex = RoundCountToInt32(
      blockSamples - 1.0,
      "the repetition period \"" + answerText + "\" gives blocks of " + DecimalText(blockSamples) +
          " samples" +
          (inSeconds ? " at " + std::to_string(sampleRate) + " samples per second" : ""));
  if (shape.lastIndex < 2) {
    throw LoadError("the repetition period \"" + answerText + "\" is too short: it gives " +
                    "blocks of fewer than 3 samples at " + std::to_string(sampleRate) +
                    " samples per second");
  }
  shape.rowCount = RoundToInt32(static_cast<double>(shape.lastIndex) / decimation - 1.0);
  if (shape.rowCount < 0) {
    throw LoadError("the repetition period \"" + answerText + "\" is shorter than one slice of " +
                    std::to_string(decimation) + " samples");
  }
  // sampleCount is at most the file's length and lastIndex >= 2, so the count stays within what
  // the file justifies.
  const double blocks = sampleCount / shape.lastIndex;
  shape.micCount = RoundCountToInt32(blocks, "the repetition period \"" + answerText + "\" gives " +
                                                 DecimalText(blocks) + " microphone positions");
  shape.rowCount = std::min(shape.rowCount, kMaxRows);
  return shape;
}

std::optional<BlockShape> AskBlockShape(const ReaderInput& input, const std::string& initialPeriod,
                                        const RecordingFacts& recording, std::string& answer) {
  const std::optional<std::string> given =
      input.choices.period ? input.choices.period : input.host.AskPeriod(initialPeriod, recording);
  if (!given) return std::nullopt;
  answer = *given;
  const std::optional<double> period = input.host.ToNumber(answer);
  if (!period) throw LoadError("the repetition period \"" + answer + "\" is not a number");
  return ShapeBlocks(*period, answer, recording.sampleRate, input.decimation,
                     recording.sampleCount);
}

std::optional<BlockShape> AskBlockShape(LoadHost& host, std::int32_t decimation,
                                        const RecordingData& data) {
  const std::string noName;
  std::string answer;
  return AskBlockShape(ReaderInput{noName, decimation, 0.0f, host}, data.initialPeriod,
                       RecordingFacts{data.sampleRate, data.sampleCount}, answer);
}

LoadResult ReadRecording(const ReaderInput& input, const InputFile& file,
                         const RecordingData& data) {
  std::string answer;
  const std::optional<BlockShape> asked = AskBlockShape(
      input, data.initialPeriod, RecordingFacts{data.sampleRate, data.sampleCount}, answer);
  if (!asked) return Cancelled{};
  const BlockShape& shape = *asked;

  Measurement result;
  result.choices = input.choices;
  result.choices.period = answer;
  result.sampleRate = data.sampleRate;
  result.peakLevel = input.peakLevel;
  result.grid = NewGrid(input, shape.rowCount, shape.micCount);
  if (data.format == SampleFormat::Int16) {
    FillGrid<Int16Sample>(input, file, data, shape, result);
  } else {
    FillGrid<Float32Sample>(input, file, data, shape, result);
  }
  return result;
}

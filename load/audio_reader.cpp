// Audio recordings that libsndfile decodes (WAV of any sample format, FLAC, AIFF, W64, RF64,
// CAF). One channel: the periods of a repeated response, as in the 16-bit WAV recordings. Several
// channels, or when asked: one column per channel. Only the frames the grid needs are decoded.

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "audio_source.h"
#include "column_reporter.h"
#include "load_error.h"
#include "readers.h"
#include "recording_reader.h"
#include "sample_levels.h"

namespace {

// Frames decoded at a time: the grid's slices may need far more than is worth holding at once.
constexpr std::size_t kPieceSamples = std::size_t{1} << 18;

void FinishColumn(Measurement& result, SliceEnergies& energies, const std::string& where) {
  const SliceEnergies::Levels levels = energies.Finish();
  if (levels.fault) throw LoadError(SliceFaultText(where, *levels.fault));
  RaisePeak(result.peakLevel, levels.peak);
}

// Column c is channel c; rows are slices of the first frames.
LoadResult ReadChannels(const ReaderInput& input, AudioSource& source, Measurement result) {
  const std::int32_t channels = source.Channels();
  const std::int64_t rows = std::min<std::int64_t>(kMaxRows, source.Frames() / input.decimation);
  result.grid = NewGrid(input, static_cast<std::int32_t>(rows), channels);
  result.columns.word = "channel";
  std::vector<SliceEnergies> columns;
  for (std::int32_t c = 1; c <= channels; ++c) {
    columns.emplace_back(result.grid.DataColumn(c), input.decimation);
  }
  const auto width = static_cast<std::size_t>(channels);
  const std::int64_t frames = rows * input.decimation;
  const auto pieceFrames =
      static_cast<std::int64_t>(std::max<std::size_t>(1, kPieceSamples / width));
  std::vector<double> piece;
  for (std::int64_t first = 0; first < frames; first += pieceFrames) {
    const std::int64_t count = std::min(pieceFrames, frames - first);
    piece.resize(static_cast<std::size_t>(count) * width);
    source.Read(first, piece);
    for (std::size_t c = 0; c < width; ++c) {
      columns[c].Add(piece.data() + c, static_cast<std::size_t>(count), width);
    }
  }
  ColumnReporter reporter(input.host, channels, ProgressStep::AfterColumnNotCountingIt);
  for (std::int32_t c = 1; c <= channels; ++c) {
    FinishColumn(result, columns[static_cast<std::size_t>(c - 1)], "channel " + std::to_string(c));
    reporter.FinishColumn(c);
  }
  return result;
}

// One column per period of a mono recording.
LoadResult ReadPeriods(const ReaderInput& input, AudioSource& source, Measurement result) {
  input.host.Yield();
  const RecordingFacts facts{source.SampleRate(), static_cast<double>(source.Frames())};
  std::string answer;
  const std::optional<BlockShape> shape = AskBlockShape(input, "4096", facts, answer);
  if (!shape) return Cancelled{};
  result.choices.period = answer;
  result.grid = NewGrid(input, shape->rowCount, shape->micCount);

  ColumnReporter reporter(input.host, shape->micCount, ProgressStep::AfterColumnNotCountingIt);
  if (shape->rowCount == 0) {
    reporter.FinishEmptyColumns(shape->micCount);
    return result;
  }
  const std::int64_t stride = std::int64_t{shape->lastIndex} + 1;
  std::vector<double> piece;
  for (std::int32_t m = 0; m < shape->micCount; ++m) {
    SliceEnergies column(result.grid.DataColumn(m + 1), input.decimation);
    for (std::int64_t first = m * stride; column.Missing() > 0;) {
      piece.resize(std::min(column.Missing(), kPieceSamples));
      source.Read(first, piece);
      column.Add(piece.data(), piece.size());
      first += static_cast<std::int64_t>(piece.size());
    }
    FinishColumn(result, column, "microphone column " + std::to_string(m + 1));
    reporter.FinishColumn(m + 1);
  }
  return result;
}

}  // namespace

LoadResult ReadAudioFile(const ReaderInput& input) {
  if (input.decimation < 1) {
    throw LoadError("the slice length is " + std::to_string(input.decimation) +
                    " samples; it must be at least 1");
  }
  AudioSource source(input.fileName);
  Measurement result;
  result.sampleRate = source.SampleRate();
  result.peakLevel = input.peakLevel;
  result.choices = input.choices;
  result.choices.channelsAsPositions = input.choices.channelsAsPositions || source.Channels() > 1;
  if (result.choices.channelsAsPositions) return ReadChannels(input, source, std::move(result));
  return ReadPeriods(input, source, std::move(result));
}

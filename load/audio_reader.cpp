// Audio recordings that libsndfile decodes (WAV of any sample format, FLAC, AIFF, W64, RF64,
// CAF). One channel: the periods of a repeated response, as in the 16-bit WAV recordings. Several
// channels, or when asked: one column per channel. Only the frames the grid needs are decoded.

#include <sndfile.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "column_reporter.h"
#include "input_file.h"
#include "load_error.h"
#include "readers.h"
#include "recording_reader.h"
#include "sample_levels.h"

namespace {

// libsndfile's float samples run from -1 to 1; the levels count in 16-bit units.
constexpr double kSixteenBitUnits = 32768.0;

// libsndfile reads through InputFile, so that opening follows the same rules as the other
// readers. A read error cannot pass through the C library as an exception: it is kept and
// thrown once libsndfile returns.
struct VirtualFile {
  const InputFile& file;
  sf_count_t position = 0;
  std::optional<LoadError> error;

  static VirtualFile& Of(void* user) { return *static_cast<VirtualFile*>(user); }
  static sf_count_t Length(void* user) { return static_cast<sf_count_t>(Of(user).file.Size()); }
  static sf_count_t Seek(sf_count_t offset, int whence, void* user) {
    VirtualFile& self = Of(user);
    const sf_count_t base = whence == SEEK_CUR   ? self.position
                            : whence == SEEK_END ? Length(user)
                                                 : 0;
    if ((offset > 0 && base > INT64_MAX - offset) || base + offset < 0) return -1;
    self.position = base + offset;
    return self.position;
  }
  static sf_count_t Read(void* buffer, sf_count_t count, void* user) {
    VirtualFile& self = Of(user);
    if (count <= 0 || self.error) return 0;
    try {
      const std::size_t got = self.file.ReadAt(static_cast<std::uint64_t>(self.position), buffer,
                                               static_cast<std::size_t>(count));
      self.position += static_cast<sf_count_t>(got);
      return static_cast<sf_count_t>(got);
    } catch (const LoadError& e) {
      self.error = e;
      return 0;
    }
  }
  static sf_count_t Write(const void*, sf_count_t, void*) { return 0; }
  static sf_count_t Tell(void* user) { return Of(user).position; }
};

struct CloseSound {
  void operator()(SNDFILE* sound) const { sf_close(sound); }
};
using Sound = std::unique_ptr<SNDFILE, CloseSound>;

class AudioSource {
 public:
  explicit AudioSource(const std::string& fileName)
      : file_(fileName), virtual_{file_, 0, std::nullopt} {
    SF_VIRTUAL_IO io{&VirtualFile::Length, &VirtualFile::Seek, &VirtualFile::Read,
                     &VirtualFile::Write, &VirtualFile::Tell};
    sound_.reset(sf_open_virtual(&io, SFM_READ, &info_, &virtual_));
    ThrowReadError();
    if (!sound_) {
      throw LoadError(std::string("it is not an audio file that can be decoded (") +
                      sf_strerror(nullptr) + ")");
    }
    if (info_.samplerate <= 0) {
      throw LoadError("its header gives a sample rate of " + std::to_string(info_.samplerate));
    }
    if (info_.channels <= 0 || info_.frames < 0) throw LoadError("its header gives no channels");
    sf_command(sound_.get(), SFC_SET_NORM_DOUBLE, nullptr, SF_TRUE);
  }

  std::int32_t Channels() const { return info_.channels; }
  std::int32_t SampleRate() const { return info_.samplerate; }
  sf_count_t Frames() const { return info_.frames; }

  // frames.size() / Channels() interleaved frames from frame first on, in 16-bit units; frames
  // past the end of the recording are 0. A file that decodes fewer frames than its header
  // promises is a LoadError.
  void Read(sf_count_t first, std::span<double> frames) {
    std::fill(frames.begin(), frames.end(), 0.0);
    const auto wanted =
        std::min<sf_count_t>(static_cast<sf_count_t>(frames.size()) / info_.channels,
                             std::max<sf_count_t>(info_.frames - first, 0));
    if (wanted == 0) return;
    sf_count_t got = 0;
    if (first == position_ || sf_seek(sound_.get(), first, SEEK_SET) == first) {
      got = sf_readf_double(sound_.get(), frames.data(), wanted);
    }
    ThrowReadError();
    position_ = got == wanted ? first + got : -1;
    if (got != wanted) {
      throw LoadError("it decodes to fewer frames than its header promises: " +
                      std::to_string(first + std::max<sf_count_t>(got, 0)) + " of " +
                      std::to_string(info_.frames) + " (the file is cut or damaged)");
    }
    const auto count = static_cast<std::size_t>(wanted * info_.channels);
    for (std::size_t i = 0; i < count; ++i) frames[i] *= kSixteenBitUnits;
  }

 private:
  void ThrowReadError() {
    if (virtual_.error) throw *virtual_.error;
  }

  InputFile file_;
  VirtualFile virtual_;
  SF_INFO info_{};
  Sound sound_;
  sf_count_t position_ = 0;  // the next frame libsndfile decodes; -1 when unknown
};

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
  const sf_count_t rows = std::min<sf_count_t>(kMaxRows, source.Frames() / input.decimation);
  result.grid = NewGrid(input, static_cast<std::int32_t>(rows), channels);
  result.columns.word = "channel";
  std::vector<SliceEnergies> columns;
  for (std::int32_t c = 1; c <= channels; ++c) {
    columns.emplace_back(result.grid.DataColumn(c), input.decimation);
  }
  const auto width = static_cast<std::size_t>(channels);
  const sf_count_t frames = rows * input.decimation;
  const auto pieceFrames = static_cast<sf_count_t>(std::max<std::size_t>(1, kPieceSamples / width));
  std::vector<double> piece;
  for (sf_count_t first = 0; first < frames; first += pieceFrames) {
    const sf_count_t count = std::min(pieceFrames, frames - first);
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
  const sf_count_t stride = sf_count_t{shape->lastIndex} + 1;
  std::vector<double> piece;
  for (std::int32_t m = 0; m < shape->micCount; ++m) {
    SliceEnergies column(result.grid.DataColumn(m + 1), input.decimation);
    for (sf_count_t first = m * stride; column.Missing() > 0;) {
      piece.resize(std::min(column.Missing(), kPieceSamples));
      source.Read(first, piece);
      column.Add(piece.data(), piece.size());
      first += static_cast<sf_count_t>(piece.size());
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

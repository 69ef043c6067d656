// The responses of an audio file: a channel's frames from the first (at most kMaxSeconds), or the
// blocks of a mono recording as the periods of the 16-bit WAV recordings give them.

#include <algorithm>
#include <mutex>
#include <vector>

#include "audio_source.h"
#include "recording_reader.h"
#include "sample_responses.h"

namespace {

// A channel's response is at most its first 20 s: a long recording is not one response.
constexpr std::int64_t kMaxSeconds = 20;
// Samples decoded at a time, and the most a group of channels' responses may hold.
constexpr std::size_t kPieceSamples = std::size_t{1} << 18;
constexpr std::size_t kGroupSamples = std::size_t{1} << 23;

// Column c is channel c. Decoding is interleaved, so the responses of a group of channels are
// decoded together and handed out one by one: the file is decoded once per group, not once per
// channel.
class ChannelResponses : public ResponseSource {
 public:
  explicit ChannelResponses(std::unique_ptr<AudioSource> source)
      : source_(std::move(source)),
        frames_(std::min(source_->Frames(), kMaxSeconds * source_->SampleRate())) {}

  std::int32_t ColumnCount() const override { return source_->Channels(); }
  double SampleRate() const override { return source_->SampleRate(); }
  std::string ColumnText(std::int32_t column) const override {
    return "channel " + std::to_string(column);
  }

  void Fetch(std::int32_t column, std::vector<double>& response) const override {
    const std::lock_guard lock(mutex_);
    if (column < first_ || column >= first_ + count_) DecodeGroup(column);
    const auto length = static_cast<std::size_t>(frames_);
    const auto at = static_cast<std::ptrdiff_t>(static_cast<std::size_t>(column - first_) * length);
    response.assign(group_.begin() + at, group_.begin() + at + static_cast<std::ptrdiff_t>(length));
  }

 private:
  // Decodes the responses of channels column, column + 1, ... into group_.
  void DecodeGroup(std::int32_t column) const {
    const auto length = static_cast<std::size_t>(frames_);
    const auto width = static_cast<std::size_t>(source_->Channels());
    const std::size_t fits = length == 0 ? width : std::max<std::size_t>(1, kGroupSamples / length);
    const std::size_t count = std::min(fits, width - static_cast<std::size_t>(column - 1));
    first_ = 0;
    count_ = 0;
    group_.assign(count * length, 0.0);
    const std::size_t pieceFrames = std::max<std::size_t>(1, kPieceSamples / width);
    std::vector<double> piece;
    for (std::size_t done = 0; done < length; done += pieceFrames) {
      const std::size_t frames = std::min(pieceFrames, length - done);
      piece.resize(frames * width);
      source_->Read(static_cast<std::int64_t>(done), piece);
      for (std::size_t c = 0; c < count; ++c) {
        const std::size_t channel = static_cast<std::size_t>(column - 1) + c;
        double* out = group_.data() + c * length + done;
        for (std::size_t f = 0; f < frames; ++f) out[f] = piece[f * width + channel];
      }
    }
    first_ = column;
    count_ = static_cast<std::int32_t>(count);
  }

  mutable std::mutex mutex_;
  std::unique_ptr<AudioSource> source_;
  std::int64_t frames_;
  mutable std::vector<double> group_;  // count_ responses of frames_ samples
  mutable std::int32_t first_ = 0;     // the channel of the first of them
  mutable std::int32_t count_ = 0;
};

// A mono recording's block m (from 0) is its frames m (L + 1) ... m (L + 1) + L; frames past the
// end count as 0.
class PeriodResponses : public ResponseSource {
 public:
  PeriodResponses(std::unique_ptr<AudioSource> source, const BlockShape& shape)
      : source_(std::move(source)), shape_(shape) {}

  std::int32_t ColumnCount() const override { return shape_.micCount; }
  double SampleRate() const override { return source_->SampleRate(); }

  void Fetch(std::int32_t column, std::vector<double>& response) const override {
    const auto length = static_cast<std::int64_t>(shape_.lastIndex) + 1;
    response.resize(static_cast<std::size_t>(length));
    const std::lock_guard lock(mutex_);
    for (std::int64_t done = 0; done < length;) {
      const auto count = std::min<std::int64_t>(length - done, kPieceSamples);
      source_->Read((column - 1) * length + done,
                    std::span(response).subspan(static_cast<std::size_t>(done),
                                                static_cast<std::size_t>(count)));
      done += count;
    }
  }

 private:
  mutable std::mutex mutex_;
  std::unique_ptr<AudioSource> source_;
  BlockShape shape_;
};

}  // namespace

std::unique_ptr<ResponseSource> OpenAudioResponses(const std::string& fileName,
                                                   std::int32_t decimation,
                                                   const LoadChoices& choices, LoadHost& host) {
  auto source = std::make_unique<AudioSource>(fileName);
  if (choices.channelsAsPositions || source->Channels() > 1) {
    return std::make_unique<ChannelResponses>(std::move(source));
  }
  const RecordingFacts facts{source->SampleRate(), static_cast<double>(source->Frames())};
  std::string answer;
  const std::optional<BlockShape> shape =
      AskBlockShape(ReaderInput{fileName, decimation, 0.0f, host, choices}, "4096", facts, answer);
  if (!shape) return nullptr;
  return std::make_unique<PeriodResponses>(std::move(source), *shape);
}

#include "response_source.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <variant>

#include "file_kind.h"
#include "input_file.h"
#include "load_error.h"
#include "recording_reader.h"
#include "sample_responses.h"

namespace {

static_assert(std::endian::native == std::endian::little, "samples are decoded in place");

// count little-endian samples of type Sample from bytes to out.
template <typename Sample>
void Decode(const unsigned char* bytes, std::size_t count, double* out) {
  for (std::size_t k = 0; k < count; ++k) {
    Sample sample;
    std::memcpy(&sample, bytes + k * sizeof(Sample), sizeof(Sample));
    out[k] = sample;
  }
}

// A recording's block m (from 0) is its samples m (L + 1) ... m (L + 1) + L; samples past the end
// of the file count as 0.
class RecordingResponses : public ResponseSource {
 public:
  RecordingResponses(const std::string& fileName, const RecordingData& data,
                     const BlockShape& shape)
      : file_(fileName), data_(data), shape_(shape) {}

  std::int32_t ColumnCount() const override { return shape_.micCount; }
  double SampleRate() const override { return data_.sampleRate; }

  void Fetch(std::int32_t column, std::vector<double>& response) const override {
    const std::size_t sampleBytes = data_.format == SampleFormat::Int16 ? 2 : 4;
    const auto samples = static_cast<std::size_t>(shape_.lastIndex) + 1;
    response.resize(samples);
    const std::uint64_t begin = static_cast<std::uint64_t>(column - 1) * samples * sampleBytes;
    std::array<unsigned char, kChunkBytes> chunk;
    for (std::size_t done = 0; done < samples;) {
      const std::size_t wanted = std::min(samples - done, kChunkBytes / sampleBytes);
      const std::uint64_t at = begin + done * sampleBytes;
      std::size_t got = 0;
      if (at < data_.bytes) {
        const auto count = static_cast<std::size_t>(
            std::min<std::uint64_t>(wanted * sampleBytes, data_.bytes - at));
        got = file_.ReadAt(data_.offset + at, chunk.data(), count);
      }
      std::fill(chunk.begin() + static_cast<std::ptrdiff_t>(got),
                chunk.begin() + static_cast<std::ptrdiff_t>(wanted * sampleBytes), 0);
      double* out = response.data() + done;
      if (data_.format == SampleFormat::Int16) {
        Decode<std::int16_t>(chunk.data(), wanted, out);
      } else {
        Decode<float>(chunk.data(), wanted, out);
      }
      done += wanted;
    }
  }

 private:
  static constexpr std::size_t kChunkBytes = 64 * 1024;

  InputFile file_;
  RecordingData data_;
  BlockShape shape_;
};

std::string Unavailable(const std::string& what) {
  return "acoustic figures need the samples of impulse responses, and " + what;
}

std::unique_ptr<ResponseSource> OpenRecording(const std::string& fileName, std::int32_t decimation,
                                              const LoadChoices& choices, LoadHost& host,
                                              const RecordingData& data) {
  std::string answer;
  const std::optional<BlockShape> shape =
      AskBlockShape(ReaderInput{fileName, decimation, 0.0f, host, choices}, data.initialPeriod,
                    RecordingFacts{data.sampleRate, data.sampleCount}, answer);
  if (!shape) return nullptr;
  return std::make_unique<RecordingResponses>(fileName, data, *shape);
}

// A mono 16-bit WAV is read as the recordings are; other WAV formats, and any WAV whose channels
// are to be columns, as the load reads them: through libsndfile.
std::unique_ptr<ResponseSource> OpenWav(const std::string& fileName, std::int32_t decimation,
                                        const LoadChoices& choices, LoadHost& host) {
  if (choices.channelsAsPositions) return OpenAudioResponses(fileName, decimation, choices, host);
  const auto header = WavRecordingData(InputFile(fileName));
  if (std::holds_alternative<Refusal>(header)) throw LoadError("it is not a mono WAV file");
  if (std::holds_alternative<OtherSampleFormat>(header)) {
    return OpenAudioResponses(fileName, decimation, choices, host);
  }
  return OpenRecording(fileName, decimation, choices, host, std::get<RecordingData>(header));
}

}  // namespace

std::optional<std::string> NoSamplesReason(const std::string& fileName) {
  const std::string kind = FileKindOf(fileName);
  switch (ReaderFor(kind)) {
    case ReaderKind::Mls:
      return Unavailable("an MLS file holds complex spectra");
    case ReaderKind::Wav:
    case ReaderKind::Pcm:
    case ReaderKind::Sofa:
    case ReaderKind::Audio:
      return std::nullopt;
    case ReaderKind::TextMap:
      break;
  }
  return Unavailable("a text export (kind \"" + kind + "\") holds levels only");
}

std::unique_ptr<ResponseSource> OpenResponses(const std::string& fileName, std::int32_t decimation,
                                              const LoadChoices& choices, LoadHost& host) {
  if (auto reason = NoSamplesReason(fileName)) throw NoSamplesError(*reason);
  switch (ReaderFor(FileKindOf(fileName))) {
    case ReaderKind::Wav:
      return OpenWav(fileName, decimation, choices, host);
    case ReaderKind::Sofa:
      return OpenSofaResponses(fileName, choices, host);
    case ReaderKind::Audio:
      return OpenAudioResponses(fileName, decimation, choices, host);
    case ReaderKind::Pcm:
    case ReaderKind::Mls:
    case ReaderKind::TextMap:
      break;
  }
  return OpenRecording(fileName, decimation, choices, host, PcmRecordingData(InputFile(fileName)));
}

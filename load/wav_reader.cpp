// WAV recording: a mono 16-bit one is read here (the header's chunks give the rate and where the
// samples are; the common recording steps do the rest); other mono formats, and any WAV whose
// channels are to be columns, go to the audio reader. Several channels are refused here.

#include <string>

#include "load_error.h"
#include "readers.h"
#include "recording_reader.h"
#include "wav_header.h"

std::variant<RecordingData, Refusal, OtherSampleFormat> WavRecordingData(const InputFile& file) {
  const WavHeader header = ReadWavHeader(file);
  if (header.channelCount != 1) return Refusal{RefusalReason::NotMono};
  if (!IsSixteenBitPcm(header)) return OtherSampleFormat{};
  if (header.blockAlign <= 0) {
    throw LoadError("its fmt chunk gives a block align of " + std::to_string(header.blockAlign) +
                    " bytes");
  }
  if (header.sampleRate <= 0) {
    throw LoadError("its fmt chunk gives a sample rate of " + std::to_string(header.sampleRate));
  }
  return RecordingData{
      SampleFormat::Int16, header.dataOffset,
      header.dataBytes,    static_cast<double>(header.dataBytes) / header.blockAlign,
      header.sampleRate,   "4096"};
}

LoadResult ReadWavRecording(const ReaderInput& input) {
  if (input.choices.channelsAsPositions) return ReadAudioFile(input);
  InputFile file(input.fileName);
  const auto data = WavRecordingData(file);
  if (const auto* refusal = std::get_if<Refusal>(&data)) return *refusal;
  // Other sample formats are decoded by libsndfile, with the same period rules.
  if (std::holds_alternative<OtherSampleFormat>(data)) return ReadAudioFile(input);
  input.host.Yield();
  return ReadRecording(input, file, std::get<RecordingData>(data));
}

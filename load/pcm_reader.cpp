// Raw float recording: no header, single-precision little-endian samples at a fixed rate.

#include "readers.h"
#include "recording_reader.h"

namespace {
constexpr std::int32_t kPcmSampleRate = 60606;
}

RecordingData PcmRecordingData(const InputFile& file) {
  return RecordingData{SampleFormat::Float32, 0,
                       file.Size(),           static_cast<double>(file.Size()) / 4.0,
                       kPcmSampleRate,        ""};
}

LoadResult ReadPcmRecording(const ReaderInput& input) {
  InputFile file(input.fileName);
  return ReadRecording(input, file, PcmRecordingData(file));
}

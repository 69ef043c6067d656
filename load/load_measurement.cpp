#include "load_measurement.h"

#include <new>

#include "file_kind.h"
#include "load_error.h"
#include "readers.h"
#include "rounding.h"
#include "scope_exit.h"

namespace {

LoadResult RunReader(ReaderKind kind, const ReaderInput& input) {
  switch (kind) {
    case ReaderKind::Mls:
      return ReadMlsFile(input);
    case ReaderKind::Wav:
      return ReadWavRecording(input);
    case ReaderKind::Pcm:
      return ReadPcmRecording(input);
    case ReaderKind::Sofa:
      return ReadSofaSet(input);
    case ReaderKind::Audio:
      return ReadAudioFile(input);
    case ReaderKind::TextMap:
      break;
  }
  return ReadTextMap(input);
}

}  // namespace

LevelGrid NewGrid(const ReaderInput& input, std::int32_t rowCount, std::int32_t micCount) {
  if (auto reason = input.host.RefuseGridSize(micCount, rowCount)) throw LoadError(*reason);
  return LevelGrid(rowCount, micCount);
}

LoadResult LoadMeasurement(const std::string& fileName, float peakLevel, std::int32_t decimation,
                           LoadHost& host, const LoadChoices& choices) {
  const ReaderKind kind = ReaderFor(FileKindOf(fileName));
  LoadResult result;
  {
    host.SetLoading(true);
    const ScopeExit loaded([&host] { host.SetLoading(false); });
    try {
      result = RunReader(kind, ReaderInput{fileName, decimation, peakLevel, host, choices});
    } catch (const RoundingOverflow& e) {
      throw LoadError(e.what());
    } catch (const std::bad_alloc&) {
      throw LoadError("there is not enough memory for its level grid");
    }
  }
  if (std::holds_alternative<Measurement>(result)) host.Yield();
  return result;
}

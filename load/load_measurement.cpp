#include "load_measurement.h"

#include <new>

#include "file_kind.h"
#include "load_error.h"
#include "readers.h"
#include "rounding.h"

namespace {

ReadOutcome RunReader(ReaderKind kind, const ReaderInput& input) {
  switch (kind) {
    case ReaderKind::Mls:
      return ReadMlsFile(input);
    case ReaderKind::Wav:
      return ReadWavRecording(input);
    case ReaderKind::Pcm:
      return ReadPcmRecording(input);
    case ReaderKind::TextMap:
      break;
  }
  return ReadTextMap(input);
}

// Ends the busy state on every way out of a load.
class BusyScope {
 public:
  explicit BusyScope(LoadHost& host) : host_(host) { host_.SetBusy(true); }
  ~BusyScope() { host_.SetBusy(false); }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  LoadHost& host_;
};

}  // namespace

LoadOutcome LoadMeasurement(ViewState& state, const std::string& fileName, LoadHost& host) {
  const ReaderKind kind = ReaderFor(FileKindOf(fileName));
  ReadOutcome outcome;
  {
    BusyScope busy(host);
    try {
      outcome = RunReader(kind, ReaderInput{fileName, state.Decimation, state.PeakLevel, host});
    } catch (const RoundingOverflow& e) {
      throw LoadError(e.what());
    } catch (const std::bad_alloc&) {
      throw LoadError("there is not enough memory for its level grid");
    }
  }
  if (auto* refusal = std::get_if<Refusal>(&outcome)) {
    host.ShowWarning(refusal->text, refusal->title);
    return LoadOutcome::Refused;
  }
  if (std::holds_alternative<Cancelled>(outcome)) return LoadOutcome::Cancelled;

  auto& m = std::get<Measurement>(outcome);
  state.RowCount = m.grid.RowCount();
  state.MicCount = m.grid.MicCount();
  state.LevelGrid = std::move(m.grid);
  if (m.sampleRate) state.SampleRate = *m.sampleRate;
  state.PeakLevel = m.peakLevel;
  state.CellLevel = m.cellLevel;
  host.Yield();
  return LoadOutcome::Loaded;
}

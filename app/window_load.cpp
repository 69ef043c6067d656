#include "window_load.h"

#include "dialogs.h"
#include "load_measurement.h"
#include "window_messages.h"

WindowLoad LoadTelling(const std::string& fileName, float peak, std::int32_t decimation,
                       LoadHost& host, Dialogs& dialogs, QWidget* parent, bool quiet,
                       const LoadChoices& choices) {
  WindowLoad load;
  load.scale = LevelScaleFor(ReaderFor(FileKindOf(fileName)));
  LoadResult result;
  try {
    result = LoadMeasurement(fileName, peak, decimation, host, choices);
  } catch (const std::exception& e) {  // LoadError, or anything a reader let through
    if (!quiet) dialogs.Error(parent, LoadFaultText(fileName, e.what()));
    return load;
  }
  if (auto* measurement = std::get_if<Measurement>(&result)) {
    load.measurement = std::move(*measurement);
  } else if (const auto* refusal = std::get_if<Refusal>(&result)) {
    load.refused = true;
    if (!quiet) dialogs.Warning(parent, RefusalText(refusal->reason), "Warning!");
  }
  return load;
}

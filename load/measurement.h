#pragma once
// What a load hands back: the measurement it read, or why nothing was read. The caller takes a
// measurement into its own view state; a refusal or a cancellation changes nothing.

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "column_labels.h"
#include "level_grid.h"
#include "load_choices.h"

struct Measurement {
  LevelGrid grid;                          // rows 0..RowCount by columns 0..MicCount
  float peakLevel = 0.0f;                  // the peak given to the load, raised by its levels
  std::optional<std::int32_t> sampleRate;  // none for kinds that carry no rate (.mls)
  ColumnLabels columns;                    // what each column stands for
  LoadChoices choices;                     // the answers the load took (given or asked)
  std::vector<std::string> notes;          // what the map does not show of the file
};

// Why a file was refused: the caller words the warning.
enum class RefusalReason {
  NotMono,  // a WAV file with more than one channel, opened for its periods
};
struct Refusal {
  RefusalReason reason;
};

// The user cancelled a prompt; nothing changes and nothing is said.
struct Cancelled {};

using LoadResult = std::variant<Measurement, Refusal, Cancelled>;

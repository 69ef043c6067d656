// SOFA sets of impulse responses: one receiver and one emitter, a column per chosen measurement,
// rows of slices from the first stored sample.

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "column_reporter.h"
#include "load_error.h"
#include "readers.h"
#include "recording_reader.h"
#include "sample_levels.h"
#include "sofa_set.h"

namespace {

constexpr std::size_t kPieceSamples = 1u << 18;  // samples read at a time along N
// Runs of consecutive measurements are read together, this many samples at a time at most: each
// call of the library costs microseconds, which for short responses is most of the load.
constexpr std::size_t kBlockSamples = 1u << 17;

// Fills the column of measurement m (from 0) from its first samples.
void FillColumn(const SofaSet& set, const SofaChoice& choice, std::int32_t m,
                SliceEnergies& column) {
  std::vector<double> piece;
  for (std::size_t first = 0; column.Missing() > 0; first += piece.size()) {
    piece.resize(std::min(column.Missing(), kPieceSamples));
    set.Read(m, choice, first, piece);
    for (double& sample : piece) sample *= kSixteenBitUnits;
    column.Add(piece.data(), piece.size());
  }
}

}  // namespace

LoadResult ReadSofaSet(const ReaderInput& input) {
  if (input.decimation < 1) {
    throw LoadError("the slice length is " + std::to_string(input.decimation) +
                    " samples; it must be at least 1");
  }
  const SofaSet set(input.fileName);
  const SofaFacts& facts = set.Facts();
  const std::optional<SofaChoice> choice =
      input.choices.sofa ? input.choices.sofa : input.host.AskSofaChoice(facts);
  if (!choice) return Cancelled{};
  const std::vector<std::int32_t> chosen = set.Columns(*choice);

  Measurement result;
  result.sampleRate = facts.sampleRate;
  result.peakLevel = input.peakLevel;
  result.choices = input.choices;
  result.choices.sofa = *choice;
  result.columns.word = "measurement";
  result.columns.source = "receiver " + std::to_string(choice->receiver) + ", emitter " +
                          std::to_string(choice->emitter) + ", " + SelectionText(choice->selection);
  if (set.HasDelay()) {
    result.notes.push_back("Data.Delay is not applied: rows start at the first stored sample");
  }
  const auto rows = std::min<std::int32_t>(kMaxRows, facts.samples / input.decimation);
  const auto columns = static_cast<std::int32_t>(chosen.size());
  result.grid = NewGrid(input, rows, columns);
  ColumnReporter reporter(input.host, columns, ProgressStep::AfterColumnNotCountingIt);
  const auto finish = [&](std::int32_t c, std::int32_t measurement, SliceEnergies& column) {
    const SliceEnergies::Levels levels = column.Finish();
    if (levels.fault) {
      throw LoadError(
          SliceFaultText("measurement " + std::to_string(measurement + 1), *levels.fault));
    }
    RaisePeak(result.peakLevel, levels.peak);
    reporter.FinishColumn(c);
  };
  const std::size_t needed = static_cast<std::size_t>(rows) * input.decimation;
  std::vector<double> block;
  for (std::int32_t c = 1; c <= columns;) {
    const std::int32_t measurement = chosen[static_cast<std::size_t>(c - 1)];
    std::int32_t run = 1;  // columns of consecutive measurements from c, read together
    while (needed > 0 && c + run <= columns &&
           chosen[static_cast<std::size_t>(c + run - 1)] == measurement + run &&
           static_cast<std::size_t>(run + 1) * needed <= kBlockSamples) {
      ++run;
    }
    if (run == 1) {
      result.columns.names.push_back(set.NameOf(measurement));
      SliceEnergies column(result.grid.DataColumn(c), input.decimation);
      FillColumn(set, *choice, measurement, column);
      finish(c++, measurement, column);
      continue;
    }
    block.resize(static_cast<std::size_t>(run) * needed);
    set.ReadRun(measurement, run, *choice, 0, needed, block);
    for (double& sample : block) sample *= kSixteenBitUnits;
    for (std::int32_t k = 0; k < run; ++k, ++c) {
      result.columns.names.push_back(set.NameOf(measurement + k));
      SliceEnergies column(result.grid.DataColumn(c), input.decimation);
      column.Add(block.data() + static_cast<std::size_t>(k) * needed, needed);
      finish(c, measurement + k, column);
    }
  }
  return result;
}

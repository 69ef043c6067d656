#include "figures_run.h"

#include <algorithm>
#include <new>
#include <stdexcept>
#include <thread>

#include "column_reporter.h"
#include "column_workers.h"
#include "load_error.h"
#include "rounding.h"

namespace {

constexpr unsigned kMaxFigureWorkers = 2;

// The scratch space of one worker: its response and the figures' sums.
struct WorkerSpace {
  std::vector<double> response;
  FiguresScratch scratch;
};

void CheckUnchanged(const std::string& fileName, const std::optional<FileStamp>& loaded) {
  if (loaded && StampOf(fileName) != loaded) {
    throw LoadError("the file has changed since its map was loaded; load it again for its figures");
  }
}

}  // namespace

std::vector<RoomFigures> FiguresOfColumns(const ResponseSource& source, LoadHost& host) {
  const std::int32_t columns = source.ColumnCount();
  const double rate = source.SampleRate();
  const unsigned cores = std::min(std::thread::hardware_concurrency(), kMaxFigureWorkers);
  const int workers = cores < 2 || columns < 2 ? 0 : static_cast<int>(cores);
  std::vector<WorkerSpace> spaces(static_cast<std::size_t>(std::max(workers, 1)));
  std::vector<RoomFigures> figures(static_cast<std::size_t>(std::max(columns, 0)));

  ColumnWorkers work(columns, workers,
                     [&](std::int32_t column, int worker, const std::atomic<bool>&) {
                       WorkerSpace& space = spaces[static_cast<std::size_t>(worker)];
                       source.Fetch(column, space.response);
                       try {
                         figures[static_cast<std::size_t>(column - 1)] =
                             ComputeRoomFigures(space.response, rate, space.scratch);
                       } catch (const std::invalid_argument& e) {
                         throw LoadError(source.ColumnText(column) + ": " + e.what());
                       }
                     });
  ColumnReporter reporter(host, columns, ProgressStep::AfterColumnCountingIt);
  for (std::int32_t column = 1; column <= columns; ++column) {
    work.Wait(column);
    reporter.FinishColumn(column);
  }
  return figures;
}

std::optional<std::vector<RoomFigures>> FiguresOfFile(const std::string& fileName,
                                                      std::int32_t decimation,
                                                      const LoadChoices& choices, LoadHost& host,
                                                      const std::optional<FileStamp>& loaded) {
  CheckUnchanged(fileName, loaded);
  try {
    const std::unique_ptr<ResponseSource> source =
        OpenResponses(fileName, decimation, choices, host);
    if (!source) return std::nullopt;
    std::vector<RoomFigures> figures = FiguresOfColumns(*source, host);
    CheckUnchanged(fileName, loaded);
    return figures;
  } catch (const RoundingOverflow& e) {
    throw LoadError(e.what());
  } catch (const std::bad_alloc&) {
    throw LoadError("there is not enough memory for one of its responses");
  }
}

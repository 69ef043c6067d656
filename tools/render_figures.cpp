#include "render_figures.h"

#include <stdexcept>
#include <vector>

#include "figures_csv.h"
#include "figures_run.h"
#include "load_error.h"
#include "quiet_host.h"
#include "response_source.h"
#include "shown_name.h"

std::optional<std::string> FiguresRefusal(const RenderOptions& options) {
  if (!options.figuresPath || options.files.empty()) return std::nullopt;
  const std::vector<std::string> covered =
      options.outputDir ? options.files : std::vector<std::string>{options.files.back()};
  for (const std::string& file : covered) {
    if (const auto reason = NoSamplesReason(file)) {
      return "no figures for " + ShownName(file) + ": " + *reason;
    }
  }
  return std::nullopt;
}

std::string FiguresCsvOf(const std::string& file, const RenderOptions& options,
                         std::int32_t decimation, const std::optional<FileStamp>& loaded) {
  QuietHost host(options.period);
  std::optional<std::vector<RoomFigures>> figures;
  try {
    figures = FiguresOfFile(file, decimation, options.choices, host, loaded);
  } catch (const LoadError& e) {
    throw std::runtime_error("cannot compute the figures of " + ShownName(file) + ": " + e.what());
  }
  if (!figures) {
    throw std::runtime_error("cannot compute the figures of " + ShownName(file) +
                             ": it is a recording: give its repetition period with --period");
  }
  return FiguresCsv(*figures);
}

#include "render_run.h"

#include <QGuiApplication>
#include <QImage>
#include <cstdio>
#include <optional>
#include <stdexcept>

#include "draw_map.h"
#include "empty_map.h"
#include "file_kind.h"
#include "grid_export.h"
#include "image_surface.h"
#include "load_error.h"
#include "load_measurement.h"
#include "output_files.h"
#include "png_writer.h"
#include "quiet_host.h"
#include "render_options.h"
#include "shown_name.h"
#include "view_image.h"

namespace {

// Common PNG decoders (libpng among them) refuse images wider or taller than this by default.
constexpr std::int64_t kMaxPngSide = 1000000;
// More than the legend and the axes add to either side of the cells, for the check before the
// load; the picture itself is checked again once it is made.
constexpr std::int64_t kLegendAllowance = 4000;

// What the PNG will show, for the size check before the load.
struct PictureSize {
  int zoom = 1;
  bool legend = false;
};

// A quiet host whose period prompt is answered by --period; when a picture is asked for, a map
// too large for it is refused before its grid is allocated.
class RenderHost : public QuietHost {
 public:
  RenderHost(const std::optional<std::string>& period, std::optional<PictureSize> picture)
      : QuietHost(period), period_(period.has_value()), picture_(picture) {}
  std::optional<std::string> AskPeriod(const std::string& initialText) override {
    if (!period_) throw LoadError("it is a recording: give its repetition period with --period");
    return QuietHost::AskPeriod(initialText);
  }
  std::optional<std::string> RefuseGridSize(std::int32_t micCount, std::int32_t rowCount) override {
    if (!picture_) return std::nullopt;
    try {
      ComputeMapGeometry(micCount, rowCount);
    } catch (const DrawError& e) {
      return e.what();
    }
    const std::int64_t extra = picture_->legend ? kLegendAllowance : 0;
    if (std::int64_t{micCount} * picture_->zoom + extra > kMaxPngSide ||
        std::int64_t{rowCount} * picture_->zoom + extra > kMaxPngSide) {
      return "its map of " + std::to_string(micCount) + " x " + std::to_string(rowCount) +
             " cells" + (picture_->zoom > 1 ? " at zoom " + std::to_string(picture_->zoom) : "") +
             (picture_->legend ? " with its legend" : "") + " is too large for a PNG (at most " +
             std::to_string(kMaxPngSide) + " pixels a side)";
    }
    return std::nullopt;
  }

 private:
  bool period_;
  std::optional<PictureSize> picture_;
};

// Text needs a QGuiApplication: a run that draws a legend without one makes its own, on the
// offscreen platform, for as long as the run lasts.
class LegendGui {
 public:
  explicit LegendGui(bool needed) {
    if (needed && QCoreApplication::instance() == nullptr) app_.emplace(argc_, argv_);
  }

 private:
  char name_[16] = "mlsvexal-render";
  char platformOption_[10] = "-platform";
  char platform_[10] = "offscreen";
  int argc_ = 3;
  char* argv_[4] = {name_, platformOption_, platform_, nullptr};
  std::optional<QGuiApplication> app_;  // last: made after, and gone before, its arguments
};

LegendFacts FactsOf(const ViewState& state, const std::string& file) {
  LegendFacts facts;
  facts.micCount = state.LevelGrid.MicCount();
  facts.rowCount = state.LevelGrid.RowCount();
  facts.peakLevel = state.PeakLevel;
  facts.rangeDb = state.RangeDb;
  facts.sampleRate = state.SampleRate;
  facts.decimation = state.Decimation;
  facts.scale = LevelScaleFor(ReaderFor(FileKindOf(file)));
  return facts;
}

// The map as the PNG shows it.
QImage PictureOf(ViewState& state, const std::string& file, const RenderOptions& options) {
  ImageSurface surface;
  DrawMap(state, surface);
  const Zoom zoom{options.zoom, 1};
  QImage picture =
      options.legend ? ViewImage(surface.Image(), zoom, options.palette, true, FactsOf(state, file))
                     : ZoomedCells(surface.Image(), zoom, options.palette);
  if (picture.width() > kMaxPngSide || picture.height() > kMaxPngSide) {
    throw DrawError("the picture of " + std::to_string(picture.width()) + " x " +
                    std::to_string(picture.height()) + " pixels is too large for a PNG");
  }
  return picture;
}

std::string RefusalText(const Refusal& refusal) {
  switch (refusal.reason) {
    case RefusalReason::NotMono:
      return "refused: Sorry, this is not a Mono .WAV file!";
    case RefusalReason::NotSixteenBitPcm:
      return "refused: Sorry, this is not a 16-bit PCM .WAV file!";
  }
  return "refused";
}

// Loads one file into state as a Browse choice would; the cause of a failure.
std::optional<std::string> LoadInto(ViewState& state, const std::string& file, LoadHost& host) {
  LoadResult result;
  try {
    result = LoadMeasurement(file, state.PeakLevel, state.Decimation, host);
  } catch (const LoadError& e) {
    return e.what();
  }
  if (auto* measurement = std::get_if<Measurement>(&result)) {
    TakeMeasurement(state, std::move(*measurement));
    return std::nullopt;
  }
  if (const auto* refusal = std::get_if<Refusal>(&result)) return RefusalText(*refusal);
  return "the period prompt was cancelled";
}

std::string JsonString(const std::string& text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", c);
      quoted += escape;
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

void WriteJson(const ViewState& state, const std::string& file, std::ostream& out) {
  out << "{\"kind\": " << JsonString(FileKindOf(file))
      << ", \"mic_count\": " << state.LevelGrid.MicCount()
      << ", \"row_count\": " << state.LevelGrid.RowCount()
      << ", \"sample_rate\": " << state.SampleRate
      << ", \"peak_level\": " << FloatText(state.PeakLevel)
      << ", \"range_db\": " << FloatText(state.RangeDb) << "}\n";
}

}  // namespace

int RunRenderer(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  RenderOptions options;
  try {
    options = ParseRenderOptions(arguments);
  } catch (const std::invalid_argument& e) {
    err << "mlsvexal-render: " << e.what() << "\n" << kRenderUsage;
    return 2;
  }
  if (options.help) {
    out << kRenderUsage;
    return 0;
  }
  if (options.version) {
    out << "mlsvexal-render " << MLSVEXAL_VERSION << "\n";
    return 0;
  }

  std::vector<std::string> outputs;
  if (options.pngPath) outputs.push_back(*options.pngPath);
  if (options.gridPath) outputs.push_back(*options.gridPath);
  try {
    CheckOutputTargets(outputs, options.files);
  } catch (const std::exception& e) {
    err << "mlsvexal-render: " << e.what() << "\n";
    return 1;
  }

  ViewState state;
  state.RangeDb = options.rangeDb;
  state.Decimation = kStartDecimation;
  std::optional<PictureSize> picture;
  if (options.pngPath) picture = PictureSize{options.zoom, options.legend};
  RenderHost host(options.period, picture);
  for (const std::string& file : options.files) {
    if (const auto cause = LoadInto(state, file, host)) {
      err << "mlsvexal-render: cannot load " << ShownName(file) << ": " << *cause << "\n";
      return 1;
    }
  }

  const std::string& shown = options.files.back();
  if (const auto reason = EmptyMapReason(shown, state.LevelGrid)) {
    err << "mlsvexal-render: " << ShownName(shown) << *reason << "\n";
    if (options.json) WriteJson(state, shown, out);
    return 3;
  }

  // Painted only when a picture is asked for.
  const LegendGui gui(options.pngPath && options.legend);
  QImage image;
  try {
    if (options.pngPath) image = PictureOf(state, shown, options);
  } catch (const std::exception& e) {
    err << "mlsvexal-render: cannot paint the map of " << ShownName(shown) << ": " << e.what()
        << "\n";
    return 1;
  }
  try {
    OutputFiles files;
    if (options.pngPath) {
      files.Write(*options.pngPath, [&](int fd, std::ostream&) { WritePng(image, fd); });
    }
    if (options.gridPath) {
      const bool npy = options.gridPath->ends_with(".npy");
      files.Write(*options.gridPath, [&](int, std::ostream& stream) {
        npy ? WriteNpy(state.LevelGrid, stream) : WriteCsv(state.LevelGrid, stream);
      });
    }
    files.Commit();
  } catch (const std::exception& e) {
    err << "mlsvexal-render: " << e.what() << "\n";
    return 1;
  }
  if (options.json) WriteJson(state, shown, out);
  return 0;
}

#include "render_run.h"

#include <QFile>
#include <QImage>
#include <cstdio>
#include <stdexcept>

#include "draw_map.h"
#include "empty_map.h"
#include "file_kind.h"
#include "grid_export.h"
#include "image_surface.h"
#include "load_error.h"
#include "load_measurement.h"
#include "output_files.h"
#include "quiet_host.h"
#include "render_options.h"
#include "shown_name.h"

namespace {

// Qt writes PNGs through libpng, which refuses images wider or taller than this.
constexpr std::int32_t kMaxPngSide = 1000000;

// A quiet host whose period prompt is answered by --period; when a picture is asked for, a map
// too large for it is refused before its grid is allocated.
class RenderHost : public QuietHost {
 public:
  RenderHost(const std::optional<std::string>& period, bool picture)
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
    if (micCount > kMaxPngSide || rowCount > kMaxPngSide) {
      return "its map of " + std::to_string(micCount) + " x " + std::to_string(rowCount) +
             " cells is too large for a PNG (at most " + std::to_string(kMaxPngSide) +
             " pixels a side)";
    }
    return std::nullopt;
  }

 private:
  bool period_;
  bool picture_;
};

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

void WritePng(const QImage& image, int fd) {
  QFile file;
  if (!file.open(fd, QIODevice::WriteOnly, QFileDevice::DontCloseHandle) ||
      !image.save(&file, "PNG")) {
    throw std::runtime_error("the PNG encoder failed");
  }
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
  RenderHost host(options.period, options.pngPath.has_value());
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
  ImageSurface surface;
  try {
    if (options.pngPath) DrawMap(state, surface);
  } catch (const std::exception& e) {
    err << "mlsvexal-render: cannot paint the map of " << ShownName(shown) << ": " << e.what()
        << "\n";
    return 1;
  }
  try {
    OutputFiles files;
    if (options.pngPath) {
      files.Write(*options.pngPath, [&](int fd, std::ostream&) { WritePng(surface.Image(), fd); });
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

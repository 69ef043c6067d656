#include "render_run.h"

#include <QImage>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "draw_map.h"
#include "file_kind.h"
#include "grid_export.h"
#include "image_surface.h"
#include "load_error.h"
#include "load_measurement.h"
#include "quiet_host.h"
#include "render_options.h"

namespace {

// A quiet host whose period prompt is answered by --period; a refusal is kept for the message.
class RenderHost : public QuietHost {
 public:
  explicit RenderHost(const std::optional<std::string>& period)
      : QuietHost(period), period_(period.has_value()) {}
  std::optional<std::string> AskText(const std::string& prompt, const std::string& title,
                                     const std::string& initialText) override {
    if (!period_) throw LoadError("it is a recording: give its repetition period with --period");
    return QuietHost::AskText(prompt, title, initialText);
  }
  void ShowWarning(const std::string& text, const std::string&) override { refusal_ = text; }
  const std::string& Refusal() const { return refusal_; }

 private:
  bool period_;
  std::string refusal_;
};

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

// Writes through a temporary file beside the target, so that a failure leaves no output file.
template <typename WriteFn>
void WriteFileAtomically(const std::string& path, WriteFn write) {
  const std::string temporary = path + ".part";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("cannot write " + path);
    write(out);
    out.flush();
    if (!out) {
      std::filesystem::remove(temporary);
      throw std::runtime_error("cannot write " + path);
    }
  }
  std::filesystem::rename(temporary, path);
}

void WritePng(const QImage& image, const std::string& path) {
  const std::string temporary = path + ".part";
  if (!image.save(QString::fromStdString(temporary), "PNG")) {
    std::filesystem::remove(temporary);
    throw std::runtime_error("cannot write " + path);
  }
  std::filesystem::rename(temporary, path);
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

  ViewState state;
  state.RangeDb = options.rangeDb;
  state.Decimation = 4;
  RenderHost host(options.period);
  for (const std::string& file : options.files) {
    try {
      if (LoadMeasurement(state, file, host) == LoadOutcome::Refused) {
        err << "mlsvexal-render: cannot load " << file << ": refused: " << host.Refusal() << "\n";
        return 1;
      }
    } catch (const LoadError& e) {
      err << "mlsvexal-render: cannot load " << file << ": " << e.what() << "\n";
      return 1;
    }
  }

  try {
    ImageSurface surface;
    DrawMap(state, surface, DrawOptions{std::chrono::steady_clock::duration::zero()});
    if (options.pngPath) {
      if (surface.Image().isNull()) {
        err << "mlsvexal-render: the map has no cells, so no picture was written\n";
      } else {
        WritePng(surface.Image(), *options.pngPath);
      }
    }
    if (options.gridPath) {
      const bool npy = options.gridPath->ends_with(".npy");
      WriteFileAtomically(*options.gridPath, [&](std::ostream& stream) {
        npy ? WriteNpy(state.LevelGrid, stream) : WriteCsv(state.LevelGrid, stream);
      });
    }
  } catch (const std::exception& e) {
    err << "mlsvexal-render: cannot paint the map of " << options.files.back() << ": " << e.what()
        << "\n";
    return 1;
  }

  if (options.json) {
    out << "{\"kind\": " << JsonString(FileKindOf(options.files.back()))
        << ", \"mic_count\": " << state.MicCount << ", \"row_count\": " << state.RowCount
        << ", \"sample_rate\": " << state.SampleRate
        << ", \"peak_level\": " << FloatText(state.PeakLevel)
        << ", \"range_db\": " << FloatText(state.RangeDb) << "}\n";
  }
  return 0;
}

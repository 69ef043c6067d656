#include "render_steps.h"

#include <QFile>
#include <QString>
#include <cstdio>
#include <stdexcept>

#include "draw_map.h"
#include "file_kind.h"
#include "grid_export.h"
#include "image_surface.h"
#include "load_error.h"
#include "load_measurement.h"
#include "png_writer.h"
#include "view_image.h"

namespace {

// Common PNG decoders (libpng among them) refuse images wider or taller than this by default.
constexpr std::int64_t kMaxPngSide = 1000000;
// More than the legend and the axes add to either side of the cells, for the check before the
// load; the picture itself is checked again once it is made.
constexpr std::int64_t kLegendAllowance = 4000;

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

std::string RefusalText(const Refusal& refusal) {
  switch (refusal.reason) {
    case RefusalReason::NotMono:
      return "refused: Sorry, this is not a Mono .WAV file!";
    case RefusalReason::NotSixteenBitPcm:
      return "refused: Sorry, this is not a 16-bit PCM .WAV file!";
  }
  return "refused";
}

}  // namespace

std::optional<std::string> RenderHost::AskPeriod(const std::string& initialText,
                                                 const RecordingFacts& recording) {
  if (!period_) throw LoadError("it is a recording: give its repetition period with --period");
  return QuietHost::AskPeriod(initialText, recording);
}

std::optional<std::string> RenderHost::RefuseGridSize(std::int32_t micCount,
                                                      std::int32_t rowCount) {
  if (!picture_) return std::nullopt;
  try {
    ComputeMapGeometry(micCount, rowCount);
  } catch (const DrawError& e) {
    return e.what();
  }
  const std::int64_t extra = picture_->legend ? kLegendAllowance : 0;
  if (std::int64_t{micCount} * picture_->zoom + extra > kMaxPngSide ||
      std::int64_t{rowCount} * picture_->zoom + extra > kMaxPngSide) {
    return "its map of " + std::to_string(micCount) + " x " + std::to_string(rowCount) + " cells" +
           (picture_->zoom > 1 ? " at zoom " + std::to_string(picture_->zoom) : "") +
           (picture_->legend ? " with its legend" : "") + " is too large for a PNG (at most " +
           std::to_string(kMaxPngSide) + " pixels a side)";
  }
  return std::nullopt;
}

ViewState StartState(const RenderOptions& options) {
  ViewState state;
  state.RangeDb = options.rangeDb;
  state.Decimation = kStartDecimation;
  return state;
}

std::optional<std::string> LoadInto(ViewState& state, const std::string& file, LoadHost& host) {
  LoadResult result;
  const LevelScale scale = LevelScaleFor(ReaderFor(FileKindOf(file)));
  try {
    result = LoadMeasurement(file, PeakForLoad(state, scale), state.Decimation, host);
  } catch (const LoadError& e) {
    return e.what();
  }
  if (auto* measurement = std::get_if<Measurement>(&result)) {
    TakeMeasurement(state, std::move(*measurement), scale);
    return std::nullopt;
  }
  if (const auto* refusal = std::get_if<Refusal>(&result)) return RefusalText(*refusal);
  return "the period prompt was cancelled";
}

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

void WritePicture(const QImage& image, const std::string& format, int fd) {
  if (format == "png") return WritePng(image, fd);
  QFile file;
  if (!file.open(fd, QIODevice::WriteOnly, QFileDevice::DontCloseHandle) ||
      !image.save(&file, format.c_str())) {
    throw std::runtime_error("the " + format + " image writer failed");
  }
}

void WriteGrid(const LevelGrid& grid, GridFormat format, std::ostream& out) {
  format == GridFormat::Npy ? WriteNpy(grid, out) : WriteCsv(grid, out);
}

std::string JsonString(const std::string& text) {
  const QByteArray utf8 =
      QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toUtf8();
  std::string quoted = "\"";
  for (const char c : utf8) {
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

std::string JsonSummary(const ViewState& state, const std::string& file) {
  return "\"kind\": " + JsonString(FileKindOf(file)) +
         ", \"mic_count\": " + std::to_string(state.LevelGrid.MicCount()) +
         ", \"row_count\": " + std::to_string(state.LevelGrid.RowCount()) +
         ", \"sample_rate\": " + std::to_string(state.SampleRate) +
         ", \"peak_level\": " + FloatText(state.PeakLevel) +
         ", \"range_db\": " + FloatText(state.RangeDb);
}

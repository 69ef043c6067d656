#include "render_picture.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>

#include "draw_error.h"
#include "draw_map.h"
#include "file_kind.h"
#include "image_surface.h"
#include "load_measurement.h"
#include "map_geometry.h"
#include "picture_file.h"
#include "picture_limit.h"
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
  facts.columnWord = state.Columns.word;
  facts.columnSource = state.Columns.source;
  return facts;
}

std::optional<std::string> RefuseGridSize(const PictureSize& picture, std::int32_t micCount,
                                          std::int32_t rowCount) {
  try {
    ComputeMapGeometry(micCount, rowCount);
  } catch (const DrawError& e) {
    return e.what();
  }
  const std::string cells = "its map of " + std::to_string(micCount) + " x " +
                            std::to_string(rowCount) + " cells" +
                            (picture.zoom > 1 ? " at zoom " + std::to_string(picture.zoom) : "");
  const std::int64_t extra = picture.legend ? kLegendAllowance : 0;
  if (std::int64_t{micCount} * picture.zoom + extra > kMaxPngSide ||
      std::int64_t{rowCount} * picture.zoom + extra > kMaxPngSide) {
    return cells + (picture.legend ? " with its legend" : "") +
           " is too large for a PNG (at most " + std::to_string(kMaxPngSide) + " pixels a side)";
  }
  // The cells alone, without the legend's allowance, which would refuse tall maps whose pictures
  // are well within the limit; the whole picture is checked again before it is made.
  const bool grey = picture.palette == Palette::Grey && !picture.legend;
  if (const auto fault = PictureSizeFault(std::int64_t{micCount} * picture.zoom,
                                          std::int64_t{rowCount} * picture.zoom, grey ? 1 : 3)) {
    return cells + " is too large: " + *fault;
  }
  return std::nullopt;
}

std::shared_ptr<const QImage> Paint(ViewState& state, const std::string& file,
                                    const RenderOptions& options) {
  ImageSurface surface;
  DrawMap(state, surface);
  const Zoom zoom{options.zoom, 1};
  CheckViewImageSize(surface.Image().size(), zoom, options.palette, options.legend,
                     FactsOf(state, file));
  auto picture = std::make_shared<const QImage>(
      options.legend ? ViewImage(surface.Image(), zoom, options.palette, true, FactsOf(state, file))
                     : ZoomedCells(surface.Image(), zoom, options.palette));
  if (picture->width() > kMaxPngSide || picture->height() > kMaxPngSide) {
    throw DrawError("the picture of " + std::to_string(picture->width()) + " x " +
                    std::to_string(picture->height()) + " pixels is too large for a PNG");
  }
  return picture;
}

bool CanWrite(const std::string& extension) {
  return QImageWriter::supportedImageFormats().contains(QByteArray::fromStdString(extension));
}

std::string WritableExtensions() {
  std::string known;
  for (const QByteArray& format : QImageWriter::supportedImageFormats()) {
    known += (known.empty() ? "." : ", .") + format.toStdString();
  }
  return known;
}

class LegendGui {
 public:
  LegendGui() : app_(argc_, argv_) {}

 private:
  char name_[16] = "mlsvexal-render";
  char platformOption_[10] = "-platform";
  char platform_[10] = "offscreen";
  int argc_ = 3;
  char* argv_[4] = {name_, platformOption_, platform_, nullptr};
  QGuiApplication app_;  // last: made after, and gone before, its arguments
};

std::shared_ptr<void> MakeLegendGui() {
  if (QCoreApplication::instance() != nullptr) return nullptr;
  return std::make_shared<LegendGui>();
}

const RenderPictures kPictures{&RefuseGridSize,     &Paint,        &WritePicture, &CanWrite,
                               &WritableExtensions, &MakeLegendGui};

}  // namespace

extern "C" __attribute__((visibility("default"))) const RenderPictures* VexalRenderPictures() {
  return &kPictures;
}

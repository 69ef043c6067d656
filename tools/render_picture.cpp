#include "render_picture.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <memory>
#include <utility>

#include "draw_error.h"
#include "draw_map.h"
#include "file_kind.h"
#include "image_surface.h"
#include "load_measurement.h"
#include "picture_file.h"
#include "picture_limit.h"
#include "view_image.h"

namespace {

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

// A picture Qt painted, written by Qt's image writers (PNG by the map's own).
class ImagePicture : public Picture {
 public:
  explicit ImagePicture(QImage image) : image_(std::move(image)) {}
  void Write(const std::string& format, int fd) const override { WritePicture(image_, format, fd); }
  int Width() const { return image_.width(); }
  int Height() const { return image_.height(); }

 private:
  QImage image_;
};

std::unique_ptr<Picture> Paint(ViewState& state, const std::string& file,
                               const RenderOptions& options) {
  ImageSurface surface;
  DrawMap(state, surface);
  const Zoom zoom{options.zoom, 1};
  CheckViewImageSize(surface.Image().size(), zoom, options.palette, options.legend,
                     FactsOf(state, file));
  auto picture = std::make_unique<ImagePicture>(
      options.legend ? ViewImage(surface.Image(), zoom, options.palette, true, FactsOf(state, file))
                     : ZoomedCells(surface.Image(), zoom, options.palette));
  CheckPngSides(picture->Width(), picture->Height());
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

const RenderPictures kPictures{&Paint, &CanWrite, &WritableExtensions, &MakeLegendGui};

}  // namespace

extern "C" __attribute__((visibility("default"))) const RenderPictures* VexalRenderPictures() {
  return &kPictures;
}

// The renderer's pictures without Qt Gui: the size check before a load, and the plain picture.
#include <memory>
#include <optional>
#include <string>

#include "draw_error.h"
#include "draw_map.h"
#include "grey_surface.h"
#include "map_geometry.h"
#include "picture_limit.h"
#include "png_writer.h"
#include "render_picture.h"

namespace {

// More than the legend and the axes add to either side of the cells, for the check before the
// load; the picture itself is checked again once it is made.
constexpr std::int64_t kLegendAllowance = 4000;

class GreyPicture : public Picture {
 public:
  explicit GreyPicture(ViewState& state) {
    DrawMap(state, surface_);
    pixels_ = surface_.Pixels();
  }
  void Write(const std::string&, int fd) const override { WritePng(pixels_, fd); }

 private:
  GreySurface surface_;
  PngPixels pixels_;
};

}  // namespace

std::optional<std::string> PictureGridFault(const PictureSize& picture, std::int32_t micCount,
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

bool PlainPicture(const RenderOptions& options) {
  return options.zoom == 1 && options.palette == Palette::Grey && !options.legend &&
         options.pictureFormat == "png";
}

std::unique_ptr<Picture> PaintPicture(ViewState& state, const std::string& file,
                                      const RenderOptions& options) {
  if (!PlainPicture(options)) return Pictures().paint(state, file, options);
  const std::int64_t width = state.LevelGrid.MicCount();
  const std::int64_t height = state.LevelGrid.RowCount();
  if (const auto fault = PictureSizeFault(width, height, 1)) throw DrawError(*fault);
  CheckPngSides(width, height);
  return std::make_unique<GreyPicture>(state);
}

#include "picture_limit.h"

#include <QFont>
#include <QGuiApplication>
#include <algorithm>
#include <limits>
#include <stdexcept>

#include "draw_error.h"
#include "map_geometry.h"
#include "view_legend.h"

void CheckViewImageSize(QSize greysSize, Zoom zoom, Palette palette, bool legend,
                        const LegendFacts& facts) {
  // The zoomed cells in 64 bits: count x in, or ceil(count / out).
  const auto side = [&zoom](std::int64_t count) {
    return zoom.out > 1 ? (count + zoom.out - 1) / zoom.out : count * std::max(zoom.in, 1);
  };
  std::int64_t width = side(greysSize.width());
  std::int64_t height = side(greysSize.height());
  const bool grey = palette == Palette::Grey && !legend;  // the legend's view is RGB32
  if (legend) {
    if (qGuiApp == nullptr) {
      throw std::logic_error("the legend needs a QGuiApplication for its font");
    }
    // The picture's border and the axes and legend around it; the legend's depth beyond the
    // picture is at most its depth beside a picture of no height.
    const QFont font;
    width += kViewPictureAt.x() + 2 * kPictureBorder + TimeLabelsRoom(font, facts, zoom) +
             LegendBesideScale(font, facts);
    height += kViewPictureAt.y() + 2 * kPictureBorder + LegendDepth(font, facts, 0, 0);
  }
  if (const auto fault = PictureSizeFault(width, height, legend ? 4 : grey ? 1 : 3))
    throw DrawError(*fault);
}

#include "window_surface.h"

#include <QProgressBar>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QWidget>
#include <algorithm>

#include "map_view.h"
#include "picture_box.h"
#include "scope_exit.h"

WindowSurface::WindowSurface(QWidget& window, MapView& view, QWidget& fileName,
                             QProgressBar& progress, std::function<void()> yield)
    : window_(window),
      view_(view),
      fileName_(fileName),
      progress_(progress),
      yield_(std::move(yield)) {}

void WindowSurface::SetWidths(const MapGeometry& map) {
  shownMap_ = map;
  view_.PrepareZoomFor(map.micCount, map.rowCount);
  SizeToMap(/*heightsToo=*/false);
}

// A map that fits the screen's free area gets exactly its layout's sizes; a larger one a window
// capped at that area, in which it scrolls. A window the user has sized keeps its size. A fitted
// map takes the zoom that fills the room first.
void WindowSurface::SizeToMap(bool heightsToo) {
  const QSize available = AvailableClientSize();
  if (view_.Fitting() != MapView::FitMode::None) {
    view_.ApplyFitZoom(view_.FitZoomFor(FitArea(available)));
  }
  const QSize zoomed = MapPixelSize(view_.CurrentZoom(), shownMap_.micCount, shownMap_.rowCount);
  WindowLayout layout = ComputeWindowLayout(ComputeMapGeometry(zoomed.width(), zoomed.height()));
  // The legend's width holds the time labels' own; without it, labels wider than the designed
  // room widen the window.
  layout.clientWidth +=
      view_.LegendShown() ? view_.LegendWidth() : view_.TimeLabelsRoom() - kScaleRoom;
  const int bar = ScrollBarExtent();
  MapFit fit = FitMap(layout, available.width(), available.height(), bar);
  // Room under and beside the picture for the legend, as far as the screen allows.
  if (!fit.scrollsY) {
    fit.clientHeight =
        std::max(fit.clientHeight,
                 std::min(view_.LegendClientHeight(fit.pictureHeight, fit.scrollsX ? bar : 0),
                          available.height()));
    layout.clientHeight = std::max(layout.clientHeight, fit.clientHeight);
  }
  // Once a map is shown the user may resize the window; until then it keeps its designed size.
  const ScopeExit sized([this, before = sizingToMap_] { sizingToMap_ = before; });
  sizingToMap_ = true;
  window_.setMinimumSize(design::kMinClientWidth, kRoomAroundPicture + chrome_);
  window_.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  if (!userSize_) Resize(QSize(fit.clientWidth, window_.height()));
  // Capped, the file name and the progress bar end inside the window.
  const int textWidth = fit.scrollsX
                            ? std::min(layout.textWidth, fit.clientWidth - 2 * fileName_.x())
                            : layout.textWidth;
  fileName_.resize(textWidth, fileName_.height());
  progress_.resize(textWidth, progress_.height());
  if (heightsToo) {
    Resize(userSize_.value_or(QSize(fit.clientWidth, fit.clientHeight + chrome_)));
    view_.Place(layout, fit, bar, window_.size() - QSize(0, chrome_));
    shownLayout_ = layout;
  } else {
    view_.Picture()->resize(fit.pictureWidth, view_.Picture()->height());
    view_.resize(fit.clientWidth, view_.height());
  }
}

void WindowSurface::Resize(QSize size) {
  requested_[nextRequest_++ % requested_.size()] = size;
  window_.resize(size);
}

void WindowSurface::FollowWindowSize() {
  if (sizingToMap_ || !shownLayout_) return;
  // A size the window asked for itself may arrive late from the window system.
  const bool asked =
      std::find(requested_.begin(), requested_.end(), window_.size()) != requested_.end();
  if (asked && !userSize_) return;
  userSize_ = window_.size();
  if (view_.Fitting() != MapView::FitMode::None) {
    SizeToMap(/*heightsToo=*/true);
    return;
  }
  const int bar = ScrollBarExtent();
  const QSize client = window_.size() - QSize(0, chrome_);
  view_.Place(*shownLayout_, FitMap(*shownLayout_, client.width(), client.height(), bar), bar,
              client);
}

QSize WindowSurface::AvailableClientSize() const {
  if (userSize_) return *userSize_ - QSize(0, chrome_);
  const QScreen* shownOn = window_.screen();
  if (shownOn == nullptr) return {design::kClientWidth, design::kClientHeight};
  // The frame is known once the window is shown; before that it counts as none.
  const QSize frame = window_.frameGeometry().size() - window_.geometry().size();
  return shownOn->availableGeometry().size() - frame - QSize(0, chrome_);
}

QSize WindowSurface::FitArea(QSize client) const {
  // Room right of the picture for the scale and the legend, above it for the controls, and the
  // picture's border; a fitted map is never narrower than the buttons above it.
  const int around = design::kPicture1.left + 2 * kPictureBorder + kScaleRoom;
  const int narrowest = design::kCommand2.left + design::kCommand2.width - design::kPicture1.left -
                        2 * kPictureBorder;
  const int beside =
      view_.LegendShown() ? view_.LegendWidth() : view_.TimeLabelsRoom() - kScaleRoom;
  return QSize(std::max(client.width() - around - beside, narrowest),
               client.height() - kRoomAroundPicture - 2 * kPictureBorder);
}

int WindowSurface::ScrollBarExtent() const {
  return window_.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view_.VerticalScroll());
}

void WindowSurface::Clear(std::int32_t micCount, std::int32_t rowCount) {
  view_.Clear(micCount, rowCount);
}

void WindowSurface::DrawTick(float offsetRows, int label) {
  view_.DrawTick(offsetRows, label);
}

void WindowSurface::PaintColumn(std::int32_t column, std::span<const std::uint8_t> greys) {
  view_.PaintColumn(column, greys);
}

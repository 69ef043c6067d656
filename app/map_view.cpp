#include "map_view.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <algorithm>
#include <cmath>
#include <utility>

#include "cell_readout.h"
#include "picture_box.h"
#include "view_image.h"

namespace {

constexpr int kArrowStep = 20;   // rows or columns that one arrow key moves
constexpr int kReadoutGap = 16;  // from the cursor to the read-out's nearest corner
const char* const kPaletteKey = "view/palette";
const char* const kLegendKey = "view/legend";

}  // namespace

MapView::MapView(const ViewState& state, QWidget* parent) : QWidget(parent), state_(&state) {
  setObjectName("MapView");
  // The bars and the read-out first, so that the picture and the window's controls follow one
  // another in the focus chain.
  hScroll_ = new QScrollBar(Qt::Horizontal, this);
  vScroll_ = new QScrollBar(Qt::Vertical, this);
  for (QScrollBar* bar : {hScroll_, vScroll_}) {
    bar->setFocusPolicy(Qt::NoFocus);  // keys reach them through the picture
    bar->setRange(0, 0);
    bar->hide();
    connect(bar, &QScrollBar::valueChanged, this, &MapView::FollowScroll);
  }
  readout_ = new QLabel(this, Qt::ToolTip);
  readout_->setObjectName("Readout");
  readout_->setForegroundRole(QPalette::ToolTipText);
  readout_->setBackgroundRole(QPalette::ToolTipBase);
  readout_->setAutoFillBackground(true);
  readout_->setMargin(3);
  picture_ = new PictureBox(this);
  connect(picture_, &PictureBox::hovered, this, &MapView::ShowReadout);
  connect(picture_, &PictureBox::hoverEnded, this, &MapView::HideReadout);

  const QSettings settings;
  palette_ = PaletteFromKey(settings.value(kPaletteKey).toString()).value_or(kDefaultPalette);
  picture_->SetPalette(palette_);
  legend_ = settings.value(kLegendKey, false).toBool();
  AddActions();
}

void MapView::Clear(std::int32_t micCount, std::int32_t rowCount) {
  ticks_.clear();
  HideReadout();
  mapShown_ = true;
  PrepareZoomFor(micCount, rowCount);
  picture_->ClearInterior(micCount, rowCount);
  update();
}

void MapView::PrepareZoomFor(std::int32_t micCount, std::int32_t rowCount) {
  // Steps each direction down while the zoomed picture would be larger than the window system
  // allows.
  const auto lower = [](Zoom zoom, std::int32_t count) {
    while (zoom.in > 1 && std::int64_t{count} * zoom.in + kRoomAroundPicture > kMaxSide) {
      zoom = ::ZoomOut(zoom, 1);
    }
    return zoom;
  };
  const MapZoom zoom = picture_->CurrentZoom();
  picture_->SetZoom(MapZoom(lower(zoom.columns, micCount), lower(zoom.rows, rowCount)));
}

void MapView::DrawTick(float offsetRows, int label) {
  ticks_.push_back({offsetRows, label});
  update();
}

void MapView::PaintColumn(std::int32_t column, std::span<const std::uint8_t> greys) {
  picture_->PaintColumn(column - 1, greys);
}

QSize MapView::ZoomedMap() const {
  return picture_->MapPixels();
}

MapZoom MapView::CurrentZoom() const {
  return picture_->CurrentZoom();
}

void MapView::SetZoom(MapZoom zoom, QPoint anchor) {
  const MapZoom from = picture_->CurrentZoom();
  if (!mapShown_) return;  // before the first paint there is no map to zoom
  // A zoom at which the map would be larger than the window system shows is not taken.
  const QSize zoomed = MapPixelSize(zoom, picture_->Cells().width(), picture_->Cells().height());
  if (std::int64_t{zoomed.width()} + kRoomAroundPicture > kMaxSide ||
      std::int64_t{zoomed.height()} + kRoomAroundPicture > kMaxSide) {
    return;
  }
  fitMode_ = FitMode::None;
  if (zoom == from) return;
  HideReadout();
  const QPoint inside = anchor - picture_->Inside().topLeft();
  const QPoint scroll = AnchoredScroll(from, zoom, inside, picture_->Scroll());
  picture_->SetZoom(zoom);
  emit zoomedMapResized();  // the window follows; the bars get their new ranges
  hScroll_->setValue(scroll.x());
  vScroll_->setValue(scroll.y());
  FollowScroll();
  update();
}

void MapView::ZoomIn() {
  const MapZoom zoom = CurrentZoom();
  SetZoom(MapZoom(::ZoomIn(zoom.columns), ::ZoomIn(zoom.rows)), picture_->Inside().center());
}

void MapView::ZoomOut() {
  const QImage& cells = picture_->Cells();
  const int most = MaxZoomOut(cells.width(), cells.height());
  const MapZoom zoom = CurrentZoom();
  SetZoom(MapZoom(::ZoomOut(zoom.columns, most), ::ZoomOut(zoom.rows, most)),
          picture_->Inside().center());
}

void MapView::WidenColumns() {
  const MapZoom zoom = CurrentZoom();
  SetZoom(MapZoom(::ZoomIn(zoom.columns), zoom.rows), picture_->Inside().center());
}

void MapView::NarrowColumns() {
  const QImage& cells = picture_->Cells();
  const MapZoom zoom = CurrentZoom();
  SetZoom(MapZoom(::ZoomOut(zoom.columns, MaxZoomOut(cells.width(), 1)), zoom.rows),
          picture_->Inside().center());
}

void MapView::Fit(FitMode mode) {
  if (!mapShown_) return;
  HideReadout();
  fitMode_ = mode;
  emit zoomedMapResized();  // the window fits the map to its room
  hScroll_->setValue(0);
  vScroll_->setValue(0);
  FollowScroll();
  update();
}

MapZoom MapView::FitZoomFor(QSize area) const {
  const QImage& cells = picture_->Cells();
  if (fitMode_ == FitMode::Square) return FitZoom(cells.width(), cells.height(), area);
  return FitStretched(cells.width(), cells.height(), area);
}

void MapView::ApplyFitZoom(MapZoom zoom) {
  if (zoom == picture_->CurrentZoom()) return;
  HideReadout();
  picture_->SetZoom(zoom);
  picture_->SetScroll(QPoint());
  update();
}

void MapView::ResetZoom() {
  SetZoom(Zoom{}, picture_->Inside().center());
}

void MapView::FitToScreen(QSize available) {
  const QImage& cells = picture_->Cells();
  // The room the window needs around the picture.
  const QSize room(kScaleRoom + 2 * kPictureBorder + picture_->x(),
                   kRoomAroundPicture + 2 * kPictureBorder + chromeHeight_);
  const QSize frame = window()->frameGeometry().size() - window()->geometry().size();
  SetZoom(
      FitZoom(cells.width(), cells.height(), available - frame - room - QSize(LegendWidth(), 0)),
      QPoint());
}

void MapView::SetPalette(Palette palette) {
  palette_ = palette;
  picture_->SetPalette(ShownPalette());
  QSettings().setValue(kPaletteKey, PaletteKey(palette));
}

void MapView::SetPaletteOverride(std::optional<Palette> palette) {
  paletteOverride_ = palette;
  picture_->SetPalette(ShownPalette());
  update();
}

void MapView::SetLegendNote(QString note) {
  if (note == legendNote_) return;
  legendNote_ = std::move(note);
  if (legend_) emit zoomedMapResized();  // the legend's width may change
  update();
}

void MapView::SetLegendShown(bool shown) {
  legend_ = shown;
  QSettings().setValue(kLegendKey, shown);
  emit zoomedMapResized();  // the window makes room for the legend or gives it back
  update();
}

void MapView::Place(const WindowLayout& layout, const MapFit& fit, int barExtent, QSize client) {
  setGeometry(0, y(), std::max(fit.clientWidth, client.width()),
              std::max(fit.clientHeight, client.height()));
  picture_->setGeometry(design::kPicture1.left, design::kPicture1.top, fit.pictureWidth,
                        fit.pictureHeight);
  const QRect picture = picture_->geometry();
  const auto place = [](QScrollBar* bar, bool shown, std::int32_t total, std::int32_t shownOuter,
                        const QRect& at) {
    bar->setRange(0, shown ? ScrollRange(total, shownOuter) : 0);
    bar->setPageStep(std::max(1, shownOuter - 2 * kPictureBorder));
    bar->setSingleStep(kArrowStep);
    bar->setGeometry(at);
    bar->setVisible(shown);
  };
  place(hScroll_, fit.scrollsX, layout.pictureOuterWidth - 2 * kPictureBorder, fit.pictureWidth,
        QRect(picture.x(), picture.y() + picture.height() + kPictureBorder, picture.width(),
              barExtent));
  place(vScroll_, fit.scrollsY, layout.pictureOuterHeight - 2 * kPictureBorder, fit.pictureHeight,
        QRect(fit.clientWidth - barExtent, picture.y(), barExtent, picture.height()));
  FollowScroll();
  if (fit.scrollsX || fit.scrollsY) KeepOnScreen();
}

void MapView::FollowScroll() {
  const QPoint offset(hScroll_->value(), vScroll_->value());
  if (offset == picture_->Scroll()) return;
  HideReadout();  // another cell lies under the mouse now
  picture_->SetScroll(offset);
  update();  // the scale moves with the rows
}

void MapView::KeepOnScreen() {
  QWidget* shown = window();
  const QScreen* shownOn = shown->screen();
  if (shownOn == nullptr) return;
  const QRect available = shownOn->availableGeometry();
  const QRect frame = shown->frameGeometry();
  const QPoint to(
      std::clamp(frame.x(), available.left(),
                 std::max(available.left(), available.left() + available.width() - frame.width())),
      std::clamp(frame.y(), available.top(),
                 std::max(available.top(), available.top() + available.height() - frame.height())));
  if (to != frame.topLeft()) shown->move(to);
}

void MapView::SetDistanceShown(bool shown) {
  distance_ = shown;
  emit zoomedMapResized();  // the labels' width may change
  update();
}

void MapView::ShowReadout(QPoint cell, QPoint globalPos) {
  const std::int32_t column = cell.x() + 1;
  const std::int32_t row = cell.y() + 1;
  // Only cells that the last paint reached show the grid's levels.
  const bool painted = column <= picture_->PaintedColumns();
  if (painted) emit cellHovered(column, row);
  std::string text;
  if (painted) {
    text = readoutText_ ? readoutText_(column, row)
                        : CellReadout(*state_, column, row, levelScale_,
                                      QLocale().decimalPoint().toStdString());
  }
  if (text.empty()) {
    HideReadout();
    return;
  }
  readout_->setText(QString::fromStdString(text));
  readout_->adjustSize();
  // Below right of the cursor, or on the other side where the screen ends.
  QPoint at = globalPos + QPoint(kReadoutGap, kReadoutGap);
  if (const QScreen* shownOn = screen()) {
    const QRect area = shownOn->geometry();
    if (at.x() + readout_->width() > area.right()) {
      at.setX(globalPos.x() - kReadoutGap - readout_->width());
    }
    if (at.y() + readout_->height() > area.bottom()) {
      at.setY(globalPos.y() - kReadoutGap - readout_->height());
    }
  }
  readout_->move(at);
  readout_->show();
}

void MapView::HideReadout() {
  readout_->hide();
}

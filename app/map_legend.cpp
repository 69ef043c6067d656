// The legend and the axes of the map view, laid out and painted by the view's own drawing, so that
// the window, its saved view and the renderer agree.

#include <QPainter>
#include <QScrollBar>

#include "map_view.h"
#include "picture_box.h"
#include "view_legend.h"
#include "window_layout.h"

LegendFacts MapView::ShownFacts() const {
  const QImage& cells = picture_->Cells();
  LegendFacts facts;
  facts.micCount = cells.width();
  facts.rowCount = cells.height();
  facts.peakLevel = state_->PeakLevel;
  facts.rangeDb = state_->RangeDb;
  facts.sampleRate = state_->SampleRate;
  facts.decimation = state_->Decimation;
  facts.scale = levelScale_;
  facts.columnWord = state_->Columns.word;
  facts.columnSource = state_->Columns.source;
  facts.note = legendNote_;
  facts.distance = distance_;
  return facts;
}

int MapView::LegendWidth() const {
  if (!legend_) return 0;
  return TimeLabelsRoom() - kScaleRoom + LegendBesideScale(font(), ShownFacts());
}

int MapView::LegendClientHeight(int pictureOuterHeight, int barHeight) const {
  if (!legend_) return 0;
  return design::kPicture1.top + LegendDepth(font(), ShownFacts(), pictureOuterHeight, barHeight);
}

int MapView::TimeLabelsRoom() const {
  return ::TimeLabelsRoom(font(), ShownFacts(), CurrentZoom().rows);
}

AxesPlace MapView::ShownPlace() const {
  AxesPlace place;
  place.picture = picture_->geometry();
  place.scroll = picture_->Scroll();
  place.scrollsY = !vScroll_->isHidden();
  place.underPicture = hScroll_->isVisible() ? hScroll_->height() : 0;
  return place;
}

void MapView::paintEvent(QPaintEvent*) {
  if (ticks_.empty()) return;  // no paint has drawn a scale yet
  QPainter painter(this);
  const LegendFacts facts = ShownFacts();
  const AxesPlace place = ShownPlace();
  if (legend_) PaintLegend(painter, font(), place, CurrentZoom(), ShownPalette(), facts);
  PaintTimeAxis(painter, font(), place, CurrentZoom().rows, facts);
}

QImage MapView::ShownView() const {
  const QImage& cells = picture_->Cells();
  if (!legend_) return ZoomedCells(cells, CurrentZoom(), ShownPalette());
  // The picture as on screen while it shows the whole map; the whole map when it scrolls.
  const bool scrolls = !hScroll_->isHidden() || !vScroll_->isHidden();
  const QSize picture = scrolls || picture_->width() == 0
                            ? ZoomedMap() + QSize(2 * kPictureBorder, 2 * kPictureBorder)
                            : picture_->size();
  return ShownMapImage(cells, picture_->PaintedColumns(), CurrentZoom(), ShownPalette(),
                       ShownFacts(), font(), picture);
}

// Form1 as the host of its loads (loading state, progress, yields, prompts) and as the surface of
// its paints (sizes, scale, columns).

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>
#include <cmath>

#include "form1.h"
#include "map_view.h"
#include "picture_box.h"
#include "rounding.h"
#include "scope_exit.h"

void Form1::SetLoading(bool loading) {
  if (loading) {
    text1_->hide();
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    ++cursorSets_;
  } else {
    if (cursorSets_ > 0) {
      QGuiApplication::restoreOverrideCursor();
      --cursorSets_;
    }
    text1_->show();
  }
}

void Form1::SetProgress(float percent) {
  const double clamped = std::clamp(static_cast<double>(percent), 0.0, 100.0);
  progressBar1_->setValue(std::isnan(percent) ? 0 : RoundToInt32(clamped));
}

void Form1::Yield() {
  if (closed_) throw WindowClosed{};
  QCoreApplication::processEvents();
  if (closed_) throw WindowClosed{};
}

std::optional<std::string> Form1::AskPeriod(const std::string& initialText) {
  return dialogs_.InputBox(this, "Repetition period (sec or samples)", "Required Parameter",
                           initialText);
}

std::optional<double> Form1::ToNumber(const std::string& text) {
  bool ok = false;
  const double value = QLocale().toDouble(QString::fromStdString(text).trimmed(), &ok);
  if (ok && std::isfinite(value)) return value;
  return ParseDecimal(text);
}

// A map the window cannot size is refused before its grid is allocated.
std::optional<std::string> Form1::RefuseGridSize(std::int32_t micCount, std::int32_t rowCount) {
  try {
    ComputeWindowLayout(ComputeMapGeometry(micCount, rowCount));
  } catch (const DrawError& e) {
    return e.what();
  }
  return std::nullopt;
}

// The window lays out the map at the view's zoom. A map that fits the screen's free area gets
// exactly its layout's sizes; a larger one a window capped at that area, in which it scrolls.
void Form1::SetWidths(const MapGeometry& map) {
  shownMap_ = map;
  mapView_->PrepareZoomFor(map.micCount, map.rowCount);
  SizeToMap(/*heightsToo=*/false);
}

void Form1::SetHeights(const MapGeometry&) {
  SizeToMap(/*heightsToo=*/true);
}

void Form1::FollowZoom() {
  SizeToMap(/*heightsToo=*/true);
}

void Form1::SizeToMap(bool heightsToo) {
  const QSize zoomed =
      MapPixelSize(mapView_->CurrentZoom(), shownMap_.micCount, shownMap_.rowCount);
  WindowLayout layout = ComputeWindowLayout(ComputeMapGeometry(zoomed.width(), zoomed.height()));
  layout.clientWidth += mapView_->LegendWidth();
  const QSize available = AvailableClientSize();
  const int bar = ScrollBarExtent();
  const MapFit fit = FitMap(layout, available.width(), available.height(), bar);
  // Once a map is shown the user may resize the window; until then it keeps its designed size.
  const ScopeExit sized([this, before = sizingToMap_] { sizingToMap_ = before; });
  sizingToMap_ = true;
  setMinimumSize(design::kMinClientWidth, kRoomAroundPicture);
  setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  resize(fit.clientWidth, height());
  // Capped, the file name and the progress bar end inside the window.
  const int textWidth = fit.scrollsX ? std::min(layout.textWidth, fit.clientWidth - 2 * text1_->x())
                                     : layout.textWidth;
  text1_->resize(textWidth, text1_->height());
  progressBar1_->resize(textWidth, progressBar1_->height());
  if (heightsToo) {
    resize(fit.clientWidth, fit.clientHeight);
    mapView_->Place(layout, fit, bar, size());
    shownLayout_ = layout;
  } else {
    picture1_->resize(fit.pictureWidth, picture1_->height());
    mapView_->resize(fit.clientWidth, mapView_->height());
  }
}

// A size the user gave the window: the map scrolls within it, or has background around it.
void Form1::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (sizingToMap_ || !shownLayout_) return;
  const int bar = ScrollBarExtent();
  mapView_->Place(*shownLayout_, FitMap(*shownLayout_, width(), height(), bar), bar, size());
}

QSize Form1::AvailableClientSize() const {
  const QScreen* shownOn = screen();
  if (shownOn == nullptr) return {design::kClientWidth, design::kClientHeight};
  // The frame is known once the window is shown; before that it counts as none.
  const QSize frame = frameGeometry().size() - geometry().size();
  return shownOn->availableGeometry().size() - frame;
}

int Form1::ScrollBarExtent() const {
  return style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, mapView_->VerticalScroll());
}

void Form1::Clear(std::int32_t micCount, std::int32_t rowCount) {
  mapView_->Clear(micCount, rowCount);
}

void Form1::DrawTick(float offsetRows, int label) {
  mapView_->DrawTick(offsetRows, label);
}

void Form1::PaintColumn(std::int32_t column, std::span<const std::uint8_t> greys) {
  mapView_->PaintColumn(column, greys);
}

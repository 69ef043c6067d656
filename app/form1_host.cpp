// Form1 as the host of its loads (loading state, progress, yields, prompts) and as the surface of
// its paints (sizes, scale, columns).

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <algorithm>
#include <cmath>

#include "form1.h"
#include "picture_box.h"
#include "rounding.h"

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

// A map that fits the screen's free area gets exactly its layout's sizes; a larger one a window
// capped at that area, in which the picture scrolls (form1_scroll.cpp).
void Form1::SetWidths(const MapGeometry& map) {
  const WindowLayout layout = ComputeWindowLayout(map);
  const QSize available = AvailableClientSize();
  const MapFit fit = FitMap(layout, available.width(), available.height(), ScrollBarExtent());
  setFixedWidth(fit.clientWidth);
  picture1_->resize(fit.pictureWidth, picture1_->height());
  // Capped, the file name and the progress bar end inside the window.
  const int textWidth = fit.scrollsX ? std::min(layout.textWidth, fit.clientWidth - 2 * text1_->x())
                                     : layout.textWidth;
  text1_->resize(textWidth, text1_->height());
  progressBar1_->resize(textWidth, progressBar1_->height());
}

void Form1::SetHeights(const MapGeometry& map) {
  const WindowLayout layout = ComputeWindowLayout(map);
  const QSize available = AvailableClientSize();
  const MapFit fit = FitMap(layout, available.width(), available.height(), ScrollBarExtent());
  picture1_->resize(picture1_->width(), fit.pictureHeight);
  setFixedHeight(fit.clientHeight);
  PlaceScrollBars(layout, fit);
}

void Form1::Clear(std::int32_t micCount, std::int32_t rowCount) {
  ticks_.clear();
  paintedColumns_ = 0;
  HideReadout();
  picture1_->ClearInterior(micCount, rowCount);
  update();
}

void Form1::DrawTick(float offsetRows, int ms) {
  ticks_.push_back({offsetRows, ms});
  update();
}

void Form1::PaintColumn(std::int32_t column, std::span<const std::uint8_t> greys) {
  picture1_->PaintColumn(column - 1, greys);
  paintedColumns_ = column;
}

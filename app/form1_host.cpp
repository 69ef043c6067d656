// Form1 as the host of its loads (busy state, progress, yields, prompts) and as the surface of
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

void Form1::SetBusy(bool busy) {
  if (busy) {
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

std::optional<std::string> Form1::AskText(const std::string& prompt, const std::string& title,
                                          const std::string& initialText) {
  return dialogs_.InputBox(this, prompt, title, initialText);
}

std::optional<double> Form1::ToNumber(const std::string& text) {
  bool ok = false;
  const double value = QLocale().toDouble(QString::fromStdString(text).trimmed(), &ok);
  if (ok && std::isfinite(value)) return value;
  return ParseDecimal(text);
}

void Form1::ShowWarning(const std::string& text, const std::string& title) {
  if (!closed_) dialogs_.Warning(this, text, title);
}

void Form1::SetWidths(const MapLayout& layout) {
  setFixedWidth(layout.clientWidth);
  picture1_->resize(layout.pictureOuterWidth, picture1_->height());
  text1_->resize(layout.textWidth, text1_->height());
  progressBar1_->resize(layout.textWidth, progressBar1_->height());
}

void Form1::SetHeights(const MapLayout& layout) {
  picture1_->resize(picture1_->width(), layout.pictureOuterHeight);
  setFixedHeight(layout.clientHeight);
}

void Form1::Clear(std::int32_t micCount, std::int32_t rowCount) {
  ticks_.clear();
  picture1_->ClearInterior(micCount, rowCount);
  update();
}

void Form1::DrawTick(float offsetRows, int ms) {
  ticks_.push_back({offsetRows, ms});
  update();
}

void Form1::PaintColumn(std::int32_t column, std::span<const std::uint8_t> greys) {
  picture1_->PaintColumn(column - 1, greys);
}

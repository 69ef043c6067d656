#include "window_load_host.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <algorithm>
#include <cmath>

#include "dialogs.h"
#include "draw_error.h"
#include "rounding.h"
#include "window_layout.h"
#include "window_messages.h"

WindowLoadHost::WindowLoadHost(QWidget& window, Dialogs& dialogs, QLineEdit& text1,
                               QProgressBar& progressBar1, const bool& closed)
    : window_(window),
      dialogs_(dialogs),
      text1_(text1),
      progressBar1_(progressBar1),
      closed_(closed) {}

WindowLoadHost::~WindowLoadHost() {
  while (cursorSets_ > 0) {
    QGuiApplication::restoreOverrideCursor();
    --cursorSets_;
  }
}

void WindowLoadHost::SetLoading(bool loading) {
  if (loading) {
    text1_.hide();
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    ++cursorSets_;
  } else {
    if (cursorSets_ > 0) {
      QGuiApplication::restoreOverrideCursor();
      --cursorSets_;
    }
    text1_.show();
  }
}

void WindowLoadHost::SetProgress(float percent) {
  const double clamped = std::clamp(static_cast<double>(percent), 0.0, 100.0);
  progressBar1_.setValue(std::isnan(percent) ? 0 : RoundToInt32(clamped));
}

void WindowLoadHost::Yield() {
  if (closed_) throw WindowClosed{};
  QCoreApplication::processEvents();
  if (closed_) throw WindowClosed{};
}

std::optional<std::string> WindowLoadHost::AskPeriod(const std::string& initialText,
                                                     const RecordingFacts& recording) {
  return dialogs_.InputBox(&window_,
                           "Repetition period (sec or samples)\n" + RecordingFactsText(recording),
                           "Required Parameter", initialText);
}

std::optional<SofaChoice> WindowLoadHost::AskSofaChoice(const SofaFacts& facts) {
  return dialogs_.AskSofaChoice(&window_, facts);
}

std::optional<double> WindowLoadHost::ToNumber(const std::string& text) {
  bool ok = false;
  const double value = QLocale().toDouble(QString::fromStdString(text).trimmed(), &ok);
  if (ok && std::isfinite(value)) return value;
  return ParseDecimal(text);
}

std::optional<std::string> WindowLoadHost::RefuseGridSize(std::int32_t micCount,
                                                          std::int32_t rowCount) {
  try {
    ComputeWindowLayout(ComputeMapGeometry(micCount, rowCount));
  } catch (const DrawError& e) {
    return e.what();
  }
  return std::nullopt;
}

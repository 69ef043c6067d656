#pragma once
// A window for the window benchmarks: Form1 shown offscreen, its dialogs answered without a user,
// its grid filled with generated levels and painted once without the fixed pause.

#include <QApplication>
#include <QCoreApplication>
#include <QtGlobal>
#include <chrono>
#include <cmath>
#include <optional>
#include <stdexcept>
#include <string>

#include <benchmark/benchmark.h>

#include "dialogs.h"
#include "form1.h"

// Redraw's box answers 100; a fault ends the benchmark with its message.
class AnswerDialogs : public Dialogs {
 public:
  std::optional<std::string> OpenFile(QWidget*, const OpenFileSettings&) override {
    return std::nullopt;
  }
  std::optional<std::string> InputBox(QWidget*, const std::string&, const std::string&,
                                      const std::string&) override {
    return "100";
  }
  std::optional<std::string> SaveFile(QWidget*, const std::string&,
                                      const std::vector<std::string>&) override {
    return std::nullopt;
  }
  void Warning(QWidget*, const std::string&, const std::string&) override {}
  void Information(QWidget*, const std::string&, const std::string&) override {}
  void Error(QWidget*, const std::string& text) override { throw std::runtime_error(text); }
};

// Drops the offscreen platform's note that it cannot pass size hints on, which every window size
// change prints; other messages go on as before.
inline void QuietSizeHintNotes() {
  static QtMessageHandler previous = nullptr;
  previous = qInstallMessageHandler(
      [](QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (text.contains(QLatin1String("propagateSizeHints"))) return;
        if (previous != nullptr) previous(type, context, text);
      });
}

// The shown window, activated and without a map.
struct BenchWindow {
  AnswerDialogs dialogs;
  Form1 form{"", dialogs, DrawOptions{std::chrono::milliseconds(0)}};

  BenchWindow() {
    form.show();
    while (!form.Activated()) QCoreApplication::processEvents();
  }

  // Fills the grid with micCount x rowCount levels, falling with time in a saw tooth of 1500 rows
  // and varying across the microphones, so that every part of a tall map holds all greys.
  void Fill(std::int32_t micCount, std::int32_t rowCount) {
    ViewState& state = form.State();
    state.LevelGrid = LevelGrid(rowCount, micCount);
    for (std::int32_t c = 1; c <= micCount; ++c) {
      auto column = state.LevelGrid.DataColumn(c);
      for (std::size_t r = 0; r < column.size(); ++r) {
        column[r] =
            static_cast<float>(-0.05 * static_cast<double>(r % 1500) + 3.0 * std::sin(0.1 * c));
      }
    }
    state.PeakLevel = 3.0f;
  }

  // Redraw: sizes the window for the map and paints every column.
  void Paint() { form.Command2_Click(); }
};

// main() of a window benchmark: an offscreen application unless a platform is named.
inline int RunWindowBenchmarks(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QuietSizeHintNotes();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

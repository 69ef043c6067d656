#include "widget_support.h"

#include <QCoreApplication>
#include <cmath>

#include "grey.h"
#include "initial_image.h"
#include "mls_file.h"
#include "picture_box.h"
#include "window_layout.h"

std::optional<std::string> ScriptedDialogs::OpenFile(QWidget*, const OpenFileSettings& settings) {
  fileDialogs.push_back(settings);
  if (files.empty()) return std::nullopt;
  auto answer = files.front();
  files.pop_front();
  if (answer && onFileChosen) onFileChosen();
  return answer;
}

std::optional<std::string> ScriptedDialogs::InputBox(QWidget*, const std::string& prompt,
                                                     const std::string& title,
                                                     const std::string& defaultText) {
  inputBoxes.push_back({prompt, title, defaultText});
  if (inputs.empty()) return std::nullopt;
  auto answer = inputs.front();
  inputs.pop_front();
  return answer;
}

void ScriptedDialogs::Error(QWidget*, const std::string& text) {
  errors.push_back(text);
  if (onError) onError(text);
}

std::string WriteMls(const TempFolder& folder, const std::string& name, int micCount, int rowCount,
                     const std::function<float(int, int)>& amplitude) {
  std::vector<std::vector<ComplexPoint>> columns(static_cast<std::size_t>(micCount));
  for (int m = 1; m <= micCount; ++m) {
    for (int r = 1; r <= rowCount; ++r) {
      columns[static_cast<std::size_t>(m - 1)].push_back({amplitude(m, r), 0.0f});
    }
  }
  return folder.Write(name, MlsBytes(columns));
}

std::string WriteRamp(const TempFolder& folder, const std::string& name, int micCount,
                      int rowCount) {
  return WriteMls(folder, name, micCount, rowCount, [](int m, int r) {
    return static_cast<float>(std::exp(-0.04 * r) * (1.0 + 0.5 * std::sin(0.7 * m)));
  });
}

void PaintGrid(Form1& form, ScriptedDialogs& dialogs, std::int32_t micCount, std::int32_t rowCount,
               std::int32_t sampleRate) {
  ViewState& state = form.State();
  state.LevelGrid = LevelGrid(rowCount, micCount);
  for (std::int32_t c = 1; c <= micCount; ++c) {
    auto column = state.LevelGrid.DataColumn(c);
    for (std::size_t r = 0; r < column.size(); ++r) {
      column[r] = -static_cast<float>((r * 7 + static_cast<std::size_t>(c) * 3) % 100);
    }
  }
  state.SampleRate = sampleRate;
  state.PeakLevel = 0.0f;
  dialogs.inputs.push_front("100");
  form.Command2_Click();
}

void Start(Form1& form) {
  form.show();
  while (!form.Activated()) QCoreApplication::processEvents();
}

void RunQueuedActions(Form1& form) {
  QCoreApplication::processEvents();
  while (form.Running()) QCoreApplication::processEvents();
}

QImage ShownInterior(const Form1& form) {
  const QImage shown = form.Picture1()->grab().toImage();
  return shown.copy(
      shown.rect().adjusted(kPictureBorder, kPictureBorder, -kPictureBorder, -kPictureBorder));
}

int GreyAt(const QImage& image, int x, int y) {
  return qGray(image.pixel(x, y));
}

int PaintedColumns(Form1& form) {
  const ViewState& state = form.State();
  const QImage shown = ShownInterior(form);
  for (int c = 1; c <= state.LevelGrid.MicCount(); ++c) {
    for (int r = 1; r <= state.LevelGrid.RowCount(); ++r) {
      const int expected = GreyOf(state.LevelGrid.At(r, c), state.PeakLevel, state.RangeDb);
      if (GreyAt(shown, c - 1, r - 1) != expected) return c - 1;
    }
  }
  return state.LevelGrid.MicCount();
}

bool BackgroundColumn(const QImage& image, int x) {
  for (int y = x == 0 ? 1 : 0; y < image.height(); ++y) {
    if (GreyAt(image, x, y) != kPictureBackground) return false;
  }
  return true;
}

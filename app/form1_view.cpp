// Form1's answers to its map view: a span stepped with the keys, the peak set to the map on
// screen, and the view saved to a file.

#include <QImageWriter>
#include <QSaveFile>
#include <algorithm>
#include <functional>

#include "file_names.h"
#include "form1.h"
#include "scope_exit.h"

namespace {

const DrawOptions kAtOnce{std::chrono::steady_clock::duration::zero()};

// The format that the name's extension asks for; PNG without one. Empty when Qt cannot write it.
QByteArray FormatFor(const QString& fileName) {
  const qsizetype dot = fileName.lastIndexOf(u'.');
  const qsizetype slash = fileName.lastIndexOf(u'/');
  if (dot <= slash + 1) return "png";
  const QByteArray extension = fileName.mid(dot + 1).toLower().toLatin1();
  return QImageWriter::supportedImageFormats().contains(extension) ? extension : QByteArray();
}

}  // namespace

void Form1::StepRange(int direction) {
  RepaintAfter([this, direction] {
    // Steps of 5 level units; a span never becomes 0, which no map can be painted with.
    float range = state_.RangeDb + 5.0f * static_cast<float>(direction);
    if (range == 0.0f) range = 5.0f * static_cast<float>(direction);
    state_.RangeDb = range;
  });
}

void Form1::ScaleToMap() {
  const LevelGrid& grid = state_.LevelGrid;
  if (grid.MicCount() == 0 || grid.RowCount() == 0) return;
  RepaintAfter([this, &grid] {
    float loudest = grid.At(1, 1);
    for (std::int32_t c = 1; c <= grid.MicCount(); ++c) {
      for (const float level : grid.DataColumn(c)) loudest = std::max(loudest, level);
    }
    state_.PeakLevel = loudest;
  });
}

void Form1::RepaintAfter(const std::function<void()>& change) {
  if (Running()) return;
  ++running_;
  const ScopeExit done([this] { --running_; });
  change();
  try {
    Draw(kAtOnce);
  } catch (const WindowClosed&) {
  }
}

void Form1::SaveView() {
  if (Running()) return;
  ++running_;
  const ScopeExit done([this] { --running_; });
  const std::optional<std::string> path = dialogs_.SaveFile(
      this, "Save the view",
      {"PNG image (*.png)", "JPEG image (*.jpg *.jpeg)", "BMP image (*.bmp)", "All files (*)"});
  if (!path) return;
  const QString name = FileNameText(*path);
  const std::string shown = name.toStdString();
  const QByteArray format = FormatFor(name);
  if (format.isEmpty()) {
    QStringList known;
    for (const QByteArray& f : QImageWriter::supportedImageFormats()) known << QString(f);
    ShowFault("Cannot save " + shown + ": pictures cannot be written in the format its name asks " +
              "for (" + known.join(", ").toStdString() + " can).");
    return;
  }
  const QImage view = mapView_->ShownView();
  if (view.isNull()) {
    ShowFault("Cannot save " + shown + ": there is no map to save.");
    return;
  }
  // Written to a temporary beside it and renamed when complete, so that a failure leaves no
  // half-written file and an old one intact.
  QSaveFile file(name);
  QImageWriter writer(&file, format);
  if (!file.open(QIODevice::WriteOnly) || !writer.write(view) || !file.commit()) {
    const QString cause =
        writer.error() != QImageWriter::UnknownError ? writer.errorString() : file.errorString();
    ShowFault("Cannot save " + shown + ": " + cause.toStdString() + ".");
  }
}

#include "status_text.h"

#include <QStringList>
#include <filesystem>

#include "file_kind.h"
#include "file_names.h"

namespace {

QString OwnName(const std::string& path) {
  return FileNameText(std::filesystem::path(path).filename().string());
}

QString Number(double value) {
  return QString::number(value, 'g', 4);
}

}  // namespace

QString KindText(const std::string& fileName) {
  switch (ReaderFor(FileKindOf(fileName))) {
    case ReaderKind::Mls:
      return "MLS spectrum";
    case ReaderKind::Wav:
      return "WAV recording";
    case ReaderKind::Pcm:
      return "PCM recording";
    default:
      return "text export";
  }
}

QString BorrowedRateText(const std::string& source, std::int32_t sampleRate) {
  return QString("time from %1's rate, %2 Hz").arg(OwnName(source)).arg(sampleRate);
}

QString StatusText(const StatusFacts& facts) {
  if (facts.file.empty()) return "No file";
  QStringList parts;
  parts << OwnName(facts.file) << KindText(facts.file)
        << QString("%1 × %2").arg(facts.micCount).arg(facts.rowCount);
  if (facts.sampleRate == 0) {
    parts << "no rate (rows)";
  } else if (!facts.rateSource.empty()) {
    parts << BorrowedRateText(facts.rateSource, facts.sampleRate);
  } else {
    parts << QString("%1 Hz").arg(facts.sampleRate);
  }
  parts << "zoom " + facts.zoom << facts.palette;
  QString span = "span " + Number(facts.rangeDb);
  if (facts.scale == LevelScale::Decibel) {
    span += " dB";
  } else {
    span += " " + LevelUnitName(facts.scale) + " (" +
            Number(ToDecibels(facts.scale, facts.rangeDb)) + " dB)";
  }
  parts << span << facts.mode;
  return parts.join(" · ");
}

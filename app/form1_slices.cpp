// Form1's reloads: an audio file opened one column per channel, and the slice length changed
// for the file on screen, which is read again with the answers its load was given.

#include <QLocale>
#include <QStatusBar>

#include "form1.h"
#include "recent_files.h"
#include "slice_length.h"

void Form1::OpenChannels() {
  RunIfIdle([this] {
    OpenFileSettings settings = BrowseSettings(LastOpenedFolder());
    settings.selectedType = 7;  // the audio files
    settings.initialName.clear();
    const auto chosen = dialogs_.OpenFile(this, settings);
    if (!chosen) return;
    const ReaderKind kind = ReaderFor(FileKindOf(*chosen));
    if (kind != ReaderKind::Wav && kind != ReaderKind::Audio) {
      return ShowFault(
          "Open channels as positions reads audio files (WAV, FLAC, AIFF, W64, "
          "RF64, CAF); " +
          FileNameText(*chosen).toStdString() + " is not one.");
    }
    fileName_.Show(*chosen);
    LoadChoices choices;
    choices.channelsAsPositions = true;
    LoadAndDraw(fileName_.Path(), choices, state_.Decimation);
  });
}

void Form1::SetSliceLength(std::int32_t decimation) {
  RunIfIdle([this, decimation] { ApplySliceLength(decimation); });
}

void Form1::AskSliceLength() {
  RunIfIdle([this] {
    const auto answer = dialogs_.InputBox(this, "Samples summed into one row (1 to 1024)",
                                          "Slice length", std::to_string(state_.Decimation));
    if (!answer) return;
    const auto slice = ReadSliceAnswer(*answer);
    if (const auto* wrong = std::get_if<std::string>(&slice)) return ShowFault(*wrong);
    ApplySliceLength(std::get<std::int32_t>(slice));
  });
}

void Form1::ApplySliceLength(std::int32_t decimation) {
  if (mapFileName_.empty()) {
    state_.Decimation = decimation;  // for the first file to come
    return;
  }
  // Not an error, only a key without effect on this map: said in the status bar.
  if (const auto refusal = SliceLengthRefusal(mapFileName_)) {
    statusBar_->showMessage(QString::fromStdString(*refusal), 5000);
    return;
  }
  if (decimation == state_.Decimation) return;
  fileName_.Show(mapFileName_);
  LoadAndDraw(mapFileName_, state_.Choices, decimation);
}

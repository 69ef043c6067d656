#include "dialogs.h"

OpenFileSettings BrowseSettings(std::string initialFolder) {
  OpenFileSettings settings;
  settings.title = "Load a MLS Vexal File";
  settings.types = {{"PCM IEEE-float file (*.pcm)", "*.pcm"},
                    {"MLS Vexal file (*.mls)", "*.mls"},
                    {"WAV file (*.wav)", "*.wav"},
                    {"Tolvane file (*.__*)", "*.__*"},
                    {"All measurement files (*.mls *.wav *.pcm *.__*)", "*.mls;*.wav;*.pcm;*.__*"},
                    // The kinds read since, after the designed ones.
                    {"SOFA set (*.sofa)", "*.sofa"},
                    {kAudioFilesType, "*.wav;*.flac;*.aif;*.aiff;*.w64;*.rf64;*.caf"}};
  settings.selectedType = 3;
  settings.mustExist = true;
  settings.initialName = "*.WAV";
  settings.initialFolder = std::move(initialFolder);
  return settings;
}

#include "dialogs.h"

OpenFileSettings BrowseSettings() {
  OpenFileSettings settings;
  settings.title = "Load a MLS Vexal File";
  settings.types = {{"PCM IEEE-float file (*.pcm)", "*.pcm"},
                    {"MLS Vexal file (*.mls)", "*.mls"},
                    {"WAV file (*.wav)", "*.wav"},
                    {"Tolvane file (*.__*)", "*.__*"}};
  settings.selectedType = 3;
  settings.mustExist = true;
  settings.initialName = "*.WAV";
  return settings;
}

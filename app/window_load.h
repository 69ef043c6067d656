#pragma once
// A load run by the window: a fault or a refusal is told in its message box.

#include <optional>
#include <string>

#include "level_units.h"
#include "load_host.h"
#include "measurement.h"

class QWidget;
class Dialogs;

struct WindowLoad {
  std::optional<Measurement> measurement;  // nothing when it failed, was refused or cancelled
  LevelScale scale = LevelScale::Decibel;  // of the file's levels
  bool refused = false;
};

// Loads fileName with peak as the peak so far. A fault gets one error box ("Cannot load …"), a
// refusal its warning ("Warning!"), unless quiet (the window has been closed). What the host's
// Yield throws passes through.
WindowLoad LoadTelling(const std::string& fileName, float peak, std::int32_t decimation,
                       LoadHost& host, Dialogs& dialogs, QWidget* parent, bool quiet,
                       const LoadChoices& choices = {});

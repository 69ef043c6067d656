#pragma once
// The renderer's steps for one map, shared by the run over one state and the batch run.

#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "picture_file.h"
#include "quiet_host.h"
#include "render_options.h"
#include "view_state.h"

// What the picture will show, for the size check before the load.
struct PictureSize {
  int zoom = 1;
  bool legend = false;
  Palette palette = kDefaultPalette;
};

// A quiet host whose period prompt is answered by --period; when a picture is asked for, a map
// too large for it is refused before its grid is allocated.
class RenderHost : public QuietHost {
 public:
  RenderHost(const std::optional<std::string>& period, std::optional<PictureSize> picture)
      : QuietHost(period), period_(period.has_value()), picture_(picture) {}
  std::optional<std::string> AskPeriod(const std::string& initialText,
                                       const RecordingFacts& recording) override;
  std::optional<std::string> RefuseGridSize(std::int32_t micCount, std::int32_t rowCount) override;

 private:
  bool period_;
  std::optional<PictureSize> picture_;
};

// Text needs a QGuiApplication: a run that draws a legend without one makes its own, on the
// offscreen platform, for as long as the run lasts.
class LegendGui {
 public:
  explicit LegendGui(bool needed) {
    if (needed && QCoreApplication::instance() == nullptr) app_.emplace(argc_, argv_);
  }

 private:
  char name_[16] = "mlsvexal-render";
  char platformOption_[10] = "-platform";
  char platform_[10] = "offscreen";
  int argc_ = 3;
  char* argv_[4] = {name_, platformOption_, platform_, nullptr};
  std::optional<QGuiApplication> app_;  // last: made after, and gone before, its arguments
};

// The view state of a viewer that has just started, with the range the options ask for.
ViewState StartState(const RenderOptions& options);

// Loads one file into state as a Browse choice would, with the answers given in choices; the
// cause of a failure.
std::optional<std::string> LoadInto(ViewState& state, const std::string& file, LoadHost& host,
                                    const LoadChoices& choices = {});

// The map as the picture shows it. Throws DrawError when it cannot be painted.
QImage PictureOf(ViewState& state, const std::string& file, const RenderOptions& options);

void WriteGrid(const LevelGrid& grid, GridFormat format, std::ostream& out);

// A JSON string of text; each byte that is not part of well-formed UTF-8 becomes the escape of a
// lone low surrogate, \udc80 to \udcff, so that the bytes of any file name can be recovered.
std::string JsonString(const std::string& text);
// The summary of the state after loading file, as JSON members without braces.
std::string JsonSummary(const ViewState& state, const std::string& file);

#pragma once
// The renderer's steps for one map, shared by the run over one state and the batch run.

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "quiet_host.h"
#include "render_options.h"
#include "render_picture.h"
#include "view_state.h"

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

// The view state of a viewer that has just started, with the range the options ask for.
ViewState StartState(const RenderOptions& options);

// Loads one file into state as a Browse choice would, with the answers given in choices; the
// cause of a failure.
std::optional<std::string> LoadInto(ViewState& state, const std::string& file, LoadHost& host,
                                    const LoadChoices& choices = {});

void WriteGrid(const LevelGrid& grid, GridFormat format, std::ostream& out);

// A JSON string of text; each byte that is not part of well-formed UTF-8 becomes the escape of a
// lone low surrogate, \udc80 to \udcff, so that the bytes of any file name can be recovered.
std::string JsonString(const std::string& text);
// The summary of the state after loading file, as JSON members without braces.
std::string JsonSummary(const ViewState& state, const std::string& file);

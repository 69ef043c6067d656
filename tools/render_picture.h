#pragma once
// The renderer's pictures. The map's cells as they are (one pixel per cell, grey, no legend, PNG)
// are painted and written here without Qt Gui; every other picture by the picture part, the only
// part of the renderer that needs Qt Gui. The renderer opens that part on the first such picture
// (picture_module.cpp), so that the other runs start without Qt Gui and the some thirty libraries
// behind it; tests link it (picture_linked.cpp).

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "draw_error.h"
#include "render_options.h"
#include "view_state.h"

// Common PNG decoders (libpng among them) refuse images wider or taller than this by default.
inline constexpr std::int64_t kMaxPngSide = 1000000;

// Throws DrawError when a picture of width x height pixels is wider or taller than that.
inline void CheckPngSides(std::int64_t width, std::int64_t height) {
  if (width > kMaxPngSide || height > kMaxPngSide) {
    throw DrawError("the picture of " + std::to_string(width) + " x " + std::to_string(height) +
                    " pixels is too large for a PNG");
  }
}

// What the picture will show, for the size check before the load.
struct PictureSize {
  int zoom = 1;
  bool legend = false;
  Palette palette = kDefaultPalette;
};

// Why a map of this many cells cannot become the picture; checked before its grid is allocated.
std::optional<std::string> PictureGridFault(const PictureSize& picture, std::int32_t micCount,
                                            std::int32_t rowCount);

// A painted picture, ready to be written.
class Picture {
 public:
  virtual ~Picture() = default;
  // Writes it to fd in Qt's image format `format` ("png" through the map's own PNG writer).
  // Throws std::runtime_error with the cause when a write fails.
  virtual void Write(const std::string& format, int fd) const = 0;
};

// Whether the options ask for the cells as they are, which need no picture part.
bool PlainPicture(const RenderOptions& options);
// The picture the options ask for. Throws DrawError when it cannot be painted, and
// std::runtime_error when it needs the picture part and that cannot be opened.
std::unique_ptr<Picture> PaintPicture(ViewState& state, const std::string& file,
                                      const RenderOptions& options);

struct RenderPictures {
  // Every picture but the plain one. Throws DrawError when it cannot be painted.
  std::unique_ptr<Picture> (*paint)(ViewState& state, const std::string& file,
                                    const RenderOptions& options);
  // Whether Qt has a writer for this lower-case extension, and the list of those it has.
  bool (*canWrite)(const std::string& extension);
  std::string (*writableExtensions)();
  // Text needs a QGuiApplication: a run that draws a legend makes one on the offscreen platform
  // (unless the process has one), which lasts as long as the handle.
  std::shared_ptr<void> (*legendGui)();
};

// The picture part; throws std::runtime_error when it cannot be opened.
const RenderPictures& Pictures();

// The picture part's table, as it exports it.
extern "C" const RenderPictures* VexalRenderPictures();

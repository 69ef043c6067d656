#pragma once
// The renderer's pictures: painting the map and writing it, the only part of the renderer that
// needs Qt Gui. The renderer opens it when a run asks for a picture (picture_module.cpp), so that
// the other runs start without Qt Gui and the some thirty libraries behind it; tests link it
// (picture_linked.cpp).

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "render_options.h"
#include "view_state.h"

class QImage;

// What the picture will show, for the size check before the load.
struct PictureSize {
  int zoom = 1;
  bool legend = false;
  Palette palette = kDefaultPalette;
};

struct RenderPictures {
  // Why a map of this many cells cannot become the picture; checked before its grid is allocated.
  std::optional<std::string> (*refuseGridSize)(const PictureSize& picture, std::int32_t micCount,
                                               std::int32_t rowCount);
  // The map as the picture shows it. Throws DrawError when it cannot be painted.
  std::shared_ptr<const QImage> (*paint)(ViewState& state, const std::string& file,
                                         const RenderOptions& options);
  void (*write)(const QImage& picture, const std::string& format, int fd);
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

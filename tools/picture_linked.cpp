#include "render_picture.h"

// Programs that link the picture part (the tests) use it directly.
const RenderPictures& Pictures() {
  return *VexalRenderPictures();
}

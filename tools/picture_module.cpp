#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <mutex>
#include <stdexcept>
#include <string>

#include "render_picture.h"

// The renderer opens its picture part, VEXAL_PICTURE_MODULE, when a run first asks for a picture:
// beside the program in a build tree, in VEXAL_PICTURE_MODULE_FROM_BIN (relative to the
// program's folder) once installed.
namespace {

std::string ProgramFolder() {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return ".";
  const std::string program(path, static_cast<std::size_t>(length));
  return program.substr(0, program.find_last_of('/'));
}

const RenderPictures* Open() {
  const std::string folder = ProgramFolder();
  std::string causes;
  for (const std::string& path :
       {folder + "/" VEXAL_PICTURE_MODULE,
        folder + "/" VEXAL_PICTURE_MODULE_FROM_BIN "/" VEXAL_PICTURE_MODULE}) {
    if (void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {
      using Table = const RenderPictures* (*)();
      if (auto table = reinterpret_cast<Table>(dlsym(module, "VexalRenderPictures"))) {
        return table();
      }
      causes += std::string(causes.empty() ? "" : "; ") + path + " has no picture table";
      continue;
    }
    const char* cause = dlerror();
    causes += (causes.empty() ? "" : "; ") + std::string(cause ? cause : path.c_str());
  }
  throw std::runtime_error("cannot open the renderer's picture part: " + causes);
}

}  // namespace

const RenderPictures& Pictures() {
  // Not std::call_once: an open that throws must leave it for a retry.
  static std::mutex opening;
  static const RenderPictures* pictures = nullptr;
  const std::lock_guard lock(opening);
  if (!pictures) pictures = Open();
  return *pictures;
}

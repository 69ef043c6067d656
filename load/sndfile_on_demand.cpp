// The libsndfile functions the audio reader calls, each forwarding to the library opened on
// demand.
#include <sndfile.h>

#include "on_demand_library.h"
#include "sndfile_on_demand.h"

namespace {
OnDemandLibrary sndfile(VEXAL_SNDFILE_SONAME);
}  // namespace

void RequireSndfile() {
  sndfile.Require();
}

#define VEXAL_SNDFILE(name) OnDemandFunction<&name>(sndfile, #name)

extern "C" {

SNDFILE* sf_open_virtual(SF_VIRTUAL_IO* io, int mode, SF_INFO* info, void* user) {
  return VEXAL_SNDFILE(sf_open_virtual)(io, mode, info, user);
}
const char* sf_strerror(SNDFILE* sound) {
  return VEXAL_SNDFILE(sf_strerror)(sound);
}
int sf_command(SNDFILE* sound, int command, void* data, int size) {
  return VEXAL_SNDFILE(sf_command)(sound, command, data, size);
}
int sf_close(SNDFILE* sound) {
  return VEXAL_SNDFILE(sf_close)(sound);
}
sf_count_t sf_seek(SNDFILE* sound, sf_count_t frames, int whence) {
  return VEXAL_SNDFILE(sf_seek)(sound, frames, whence);
}
sf_count_t sf_readf_double(SNDFILE* sound, double* frames, sf_count_t count) {
  return VEXAL_SNDFILE(sf_readf_double)(sound, frames, count);
}

}  // extern "C"

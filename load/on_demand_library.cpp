#include "on_demand_library.h"

#include <dlfcn.h>

#include <string>

#include "load_error.h"

void* OnDemandLibrary::Handle() {
  const std::lock_guard lock(mutex_);
  if (handle_) return handle_;
  // RTLD_LOCAL: the library's names stay out of the global scope, where the forwarding
  // definitions of the same names live; its functions are looked up through its handle.
  handle_ = dlopen(soname_, RTLD_NOW | RTLD_LOCAL);
  if (!handle_) {
    const char* cause = dlerror();
    throw LoadError(std::string("the library that reads it cannot be opened (") +
                    (cause ? cause : soname_) + ")");
  }
  return handle_;
}

void OnDemandLibrary::Require() {
  Handle();
}

void* OnDemandLibrary::Function(const char* name) {
  void* function = dlsym(Handle(), name);
  if (!function) {
    throw LoadError(std::string("the library that reads it (") + soname_ + ") has no " + name);
  }
  return function;
}

#pragma once

#include <mutex>

// A shared library opened at its first use instead of at process start. netCDF-C brings HDF5,
// curl and TLS with it (some 45 libraries, about 9 ms of every start on the development machine)
// and libsndfile its codecs, though most runs read neither kind. The readers call the libraries'
// functions as usual; the definitions in netcdf_on_demand.cpp and sndfile_on_demand.cpp forward
// each call to the library, opened on the first one.
class OnDemandLibrary {
 public:
  explicit constexpr OnDemandLibrary(const char* soname) : soname_(soname) {}

  // Opens the library if it is not open yet; a LoadError names it when it cannot be opened. A
  // reader calls this before the library's first function, so the failure is its load's.
  void Require();
  // The address of one of its functions (opening it first); a LoadError when there is none.
  void* Function(const char* name);

 private:
  void* Handle();

  const char* soname_;
  std::mutex mutex_;  // not std::call_once: an open that throws must leave it for a retry
  void* handle_ = nullptr;
};

// The library's function `name`, typed as the declaration `Declared` (the definition that
// forwards to it), looked up once.
template <auto Declared>
auto OnDemandFunction(OnDemandLibrary& library, const char* name) {
  static const auto function = reinterpret_cast<decltype(Declared)>(library.Function(name));
  return function;
}

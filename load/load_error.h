#pragma once

#include <stdexcept>
#include <string>

// A load that failed. The message is the cause in plain words, without the file name (the
// caller names the file).
class LoadError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

#pragma once

#include <stdexcept>

// A map that cannot be drawn: a size beyond what the toolkit shows, a grey that is not a
// number, too little memory for the picture. The message is the cause in plain words.
class DrawError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

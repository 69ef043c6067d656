#pragma once
// A small deterministic random generator for made-up measurements: the same numbers on every
// machine, uniform in [0, 1).

#include <cstdint>

class Lcg {
 public:
  double Next() {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>(state_ >> 11) / 9007199254740992.0;
  }

 private:
  std::uint64_t state_ = 0x5eed;
};

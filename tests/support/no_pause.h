#pragma once
// Paints in tests run without the window's pause between sizing the widths and the heights.

#include "draw_map.h"

inline const DrawOptions kNoPause{std::chrono::steady_clock::duration::zero()};

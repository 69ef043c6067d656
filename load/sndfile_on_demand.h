#pragma once

// Opens libsndfile (see on_demand_library.h) before the audio reader's first call into it; a
// LoadError when it cannot be opened.
void RequireSndfile();

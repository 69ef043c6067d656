#pragma once

#include <ostream>
#include <string>
#include <vector>

// The headless renderer. Without --output-dir it loads each file like successive Browse choices,
// then writes what the options ask for; with it, each file on its own (see render_batch.h).
// Returns the exit status: 0 done, 1 a load, paint, figures or write failed, 2 wrong arguments or
// figures asked of a kind without samples, 3 the map holds no cells (nothing is written for it).
int RunRenderer(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

// mlsvexal-render: the viewer's loading and painting without a window, for batch use.

#include <iostream>

#include "render_run.h"

int main(int argc, char** argv) {
  return RunRenderer(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}

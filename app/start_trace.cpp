#include "start_trace.h"

#include <QWidget>
#include <cstdio>
#include <ctime>

void TraceMapOnScreen(QWidget& window) {
  static bool traced = false;
  if (traced || qEnvironmentVariableIsEmpty("MLSVEXAL_TRACE_START")) return;
  traced = true;
  window.repaint();  // paints and flushes the window at once instead of from the event loop
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  std::fprintf(stderr, "mlsvexal: map on screen at %lld.%09ld\n",
               static_cast<long long>(now.tv_sec), now.tv_nsec);
  std::fflush(stderr);
}

#pragma once
// With MLSVEXAL_TRACE_START set, the window says on standard error when the map of its first load
// is on screen, as a wall-clock time, so that a benchmark can measure the start-up from outside.

class QWidget;

// Paints window now and writes "mlsvexal: map on screen at SECONDS.NANOSECONDS" (CLOCK_REALTIME)
// once per process; nothing without the variable.
void TraceMapOnScreen(QWidget& window);

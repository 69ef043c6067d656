#pragma once

#include <cstdint>
#include <string>

#include "load_host.h"
#include "measurement.h"

// Reads one measurement file: chooses the reader by file kind and runs it in the loading state.
// peakLevel is PeakLevel before the load (the measurement's peak never falls below it);
// decimation the samples summed into one row; choices the answers given before the load (the
// measurement hands back the ones it took). A failure ends the loading state and throws
// LoadError with the cause; a refusal or a cancellation comes back as a value.
LoadResult LoadMeasurement(const std::string& fileName, float peakLevel, std::int32_t decimation,
                           LoadHost& host, const LoadChoices& choices = {});

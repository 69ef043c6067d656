#pragma once
// The texts of the window's message boxes about loads and paints.

#include <QString>
#include <string>

#include "load_host.h"
#include "measurement.h"

// "Cannot load NAME: CAUSE." for a load that failed with cause.
std::string LoadFaultText(const std::string& fileName, const std::string& cause);
// "Cannot paint the map: CAUSE."
std::string PaintFaultText(const std::string& cause);
// The warning of a refused recording; its box is titled "Warning!".
std::string RefusalText(RefusalReason reason);

// "SimpleFreeFieldHRIR: 710 measurements, 2 receivers, 1 emitter, 512 samples at 44100
// samples/s": what a SOFA set holds.
std::string SofaFactsText(const SofaFacts& facts);

// "48000 samples/s, 1 536 000 samples, 32.000 s": what a recording holds.
std::string RecordingFactsText(const RecordingFacts& recording);

inline constexpr const char* kProgramName = "MLS Vexal";
// "room.mls — MLS Vexal": the window's title while the map of fileName is shown.
QString WindowTitleFor(const std::string& fileName);

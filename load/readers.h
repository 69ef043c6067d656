#pragma once
// One reader per input kind; each in its own source file.

#include "reader.h"

ReadOutcome ReadMlsFile(const ReaderInput& input);       // complex-spectrum ".mls"
ReadOutcome ReadWavRecording(const ReaderInput& input);  // mono 16-bit WAV recording
ReadOutcome ReadPcmRecording(const ReaderInput& input);  // raw float32 ".pcm" recording
ReadOutcome ReadTextMap(const ReaderInput& input);       // text level-map export

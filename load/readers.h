#pragma once
// One reader per input kind, each in its own source file. A reader fills a fresh grid and hands
// it back; it never touches what the caller shows.

#include <cstdint>
#include <string>

#include "load_host.h"
#include "measurement.h"

struct ReaderInput {
  const std::string& fileName;
  std::int32_t decimation;  // samples per row (recordings); rows per second factor (text export)
  float peakLevel;          // PeakLevel before this load
  LoadHost& host;
  LoadChoices choices = {};  // answers given before the load
};

LoadResult ReadMlsFile(const ReaderInput& input);       // complex-spectrum ".mls"
LoadResult ReadWavRecording(const ReaderInput& input);  // mono 16-bit WAV recording
LoadResult ReadPcmRecording(const ReaderInput& input);  // raw float32 ".pcm" recording
LoadResult ReadTextMap(const ReaderInput& input);       // text level-map export
LoadResult ReadAudioFile(const ReaderInput& input);     // any recording libsndfile decodes
LoadResult ReadSofaSet(const ReaderInput& input);       // SOFA set of impulse responses

// A fresh grid of rows 0..rowCount by columns 0..micCount, once the host has accepted its size;
// otherwise a LoadError with the host's reason.
LevelGrid NewGrid(const ReaderInput& input, std::int32_t rowCount, std::int32_t micCount);

// Raises peak to level when level is strictly greater: PeakLevel never falls.
inline void RaisePeak(float& peak, float level) {
  if (level > peak) peak = level;
}

#pragma once
// The parts of a RIFF WAVE header that the recording reader needs, found by walking the chunks
// from the start of the file to the "fmt " and "data" chunks.

#include <cstdint>

#include "input_file.h"

struct WavHeader {
  std::uint16_t formatTag = 0;  // 1: integer PCM; 0xFFFE: extensible (see pcmSubFormat)
  std::int16_t channelCount = 0;
  std::int32_t sampleRate = 0;
  std::int16_t blockAlign = 0;  // bytes per sample frame
  std::int16_t bitsPerSample = 0;
  bool pcmSubFormat = false;     // extensible format whose sub-format is integer PCM
  std::uint64_t dataOffset = 0;  // first byte of the samples
  std::uint64_t dataBytes = 0;   // bytes of the data chunk that lie inside the file
};

// Walks the chunks of file, bounded by its length. Not RIFF/WAVE, no fmt chunk before the data
// chunk, an fmt chunk shorter than 16 bytes or no data chunk at all: LoadError. A data size of 0
// or 0xFFFFFFFF (left by streaming recorders), or one running past the end of the file, is taken
// as "to the end of the file".
WavHeader ReadWavHeader(const InputFile& file);

// Mono is checked by the caller first; this says whether the samples are 16-bit integer PCM.
bool IsSixteenBitPcm(const WavHeader& header);

#pragma once
// The steps shared by the WAV and raw float recordings of one repeated impulse response per
// microphone position: the period prompt, the block shape, and the slice energies of the first
// Decimation x RowCount samples of every block.

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

#include "input_file.h"
#include "readers.h"

enum class SampleFormat { Int16, Float32 };  // little-endian, as stored in the file

struct RecordingData {
  SampleFormat format;
  std::uint64_t offset;       // byte of sample 0
  std::uint64_t bytes;        // sample bytes available from offset; later positions read as 0
  double sampleCount;         // the number of samples the recording holds (not rounded)
  std::int32_t sampleRate;    // samples per second
  std::string initialPeriod;  // initial answer of the period prompt
};

struct BlockShape {
  std::int32_t lastIndex;  // of the last sample of a block (a block holds lastIndex + 1 samples)
  std::int32_t rowCount;   // capped to kMaxRows
  std::int32_t micCount;
};

inline constexpr std::int32_t kMaxRows = 400;

// The blocks for a period answer: below 10 it counts seconds, from 10 on samples. answerText
// only names the answer in messages; sampleCount >= 0. A period that leaves fewer than 3 samples
// per block is a LoadError; a count beyond 32 bits is a RoundingOverflow.
BlockShape ShapeBlocks(double period, const std::string& answerText, std::int32_t sampleRate,
                       std::int32_t decimation, double sampleCount);

// The period given with the load's choices, or else asked with initialPeriod offered, turned into
// blocks; nullopt when the prompt is cancelled. answer receives the text the shape came from.
std::optional<BlockShape> AskBlockShape(const ReaderInput& input, const std::string& initialPeriod,
                                        const RecordingFacts& recording, std::string& answer);

// The same with the period always asked, for a reader that has no load choices.
std::optional<BlockShape> AskBlockShape(LoadHost& host, std::int32_t decimation,
                                        const RecordingData& data);

// A mono WAV whose samples are not 16-bit integers: decoded through libsndfile instead.
struct OtherSampleFormat {};
// Where the samples of a mono 16-bit WAV recording lie, or why it is refused.
std::variant<RecordingData, Refusal, OtherSampleFormat> WavRecordingData(const InputFile& file);
// Where the samples of a raw float recording lie.
RecordingData PcmRecordingData(const InputFile& file);

// Asks for the period, then fills a fresh grid from file. Cancel at the prompt: Cancelled.
LoadResult ReadRecording(const ReaderInput& input, const InputFile& file,
                         const RecordingData& data);

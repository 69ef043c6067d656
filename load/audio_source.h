#pragma once
// An audio file opened through libsndfile (WAV of any sample format, FLAC, AIFF, W64, RF64, CAF),
// read by frames in 16-bit units. One thread at a time uses a source.

#include <cstdint>
#include <memory>
#include <span>
#include <string>

class AudioSource {
 public:
  // A file libsndfile cannot decode, or whose header gives no rate or channels, is a LoadError.
  explicit AudioSource(const std::string& fileName);
  ~AudioSource();
  AudioSource(const AudioSource&) = delete;
  AudioSource& operator=(const AudioSource&) = delete;

  std::int32_t Channels() const;
  std::int32_t SampleRate() const;
  std::int64_t Frames() const;  // as the header promises

  // frames.size() / Channels() interleaved frames from frame first on, in 16-bit units (a float
  // sample of 1.0 counts as 32768); frames past the end of the recording are 0. A file that
  // decodes fewer frames than its header promises is a LoadError.
  void Read(std::int64_t first, std::span<double> frames);

 private:
  struct Open;
  std::unique_ptr<Open> open_;
};

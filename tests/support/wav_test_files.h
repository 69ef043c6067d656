#pragma once
// WAV files built byte by byte for the recording reader tests.

#include <cmath>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "test_files.h"

struct WavChunk {
  std::string id;  // four characters
  std::vector<std::uint8_t> body;
  std::optional<std::uint32_t> declaredSize = std::nullopt;  // nullopt: the body's length
};

// "RIFF" <size> "WAVE" and the chunks, each odd-sized body followed by a pad byte.
inline std::vector<std::uint8_t> RiffWave(const std::vector<WavChunk>& chunks) {
  std::vector<std::uint8_t> out;
  AppendText(out, "RIFF");
  AppendInt32(out, 0);
  AppendText(out, "WAVE");
  for (const WavChunk& chunk : chunks) {
    AppendText(out, chunk.id);
    const std::uint32_t size =
        chunk.declaredSize.value_or(static_cast<std::uint32_t>(chunk.body.size()));
    AppendInt32(out, static_cast<std::int32_t>(size));
    out.insert(out.end(), chunk.body.begin(), chunk.body.end());
    if (chunk.body.size() % 2 == 1) out.push_back(0);
  }
  const auto riffSize = static_cast<std::int32_t>(out.size() - 8);
  for (int i = 0; i < 4; ++i) out[4 + i] = static_cast<std::uint8_t>(riffSize >> (8 * i));
  return out;
}

// The 16 bytes every fmt chunk starts with.
inline std::vector<std::uint8_t> FmtBody(std::uint16_t formatTag, std::int16_t channels,
                                         std::int32_t rate, std::int16_t bits) {
  const auto blockAlign = static_cast<std::int16_t>(channels * bits / 8);
  std::vector<std::uint8_t> out;
  AppendInt16(out, static_cast<std::int16_t>(formatTag));
  AppendInt16(out, channels);
  AppendInt32(out, rate);
  AppendInt32(out, rate * blockAlign);
  AppendInt16(out, blockAlign);
  AppendInt16(out, bits);
  return out;
}

inline std::vector<std::uint8_t> Int16Body(const std::vector<std::int16_t>& samples) {
  std::vector<std::uint8_t> out;
  for (std::int16_t s : samples) AppendInt16(out, s);
  return out;
}

// The canonical 44-byte header followed by the samples.
inline std::vector<std::uint8_t> MonoWav16(std::int32_t rate,
                                           const std::vector<std::int16_t>& samples) {
  return RiffWave({{"fmt ", FmtBody(1, 1, rate, 16)}, {"data", Int16Body(samples)}});
}

// The level of one slice of 16-bit samples by the rule, one addition at a time: the exact square
// added to the sum and the sum rounded to single precision, then 10 ln of the sum in double,
// rounded to single; 0 for a silent slice.
inline float SliceLevelByRule(std::span<const std::int16_t> slice) {
  float sum = 0.0f;
  for (const std::int32_t s : slice) sum = static_cast<float>(static_cast<double>(sum) + s * s);
  return sum > 0.0f ? static_cast<float>(10.0 * std::log(static_cast<double>(sum))) : 0.0f;
}

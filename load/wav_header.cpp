#include "wav_header.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "load_error.h"

namespace {

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;
constexpr std::uint64_t kFmtBytes = 16;            // the fields every fmt chunk has
constexpr std::uint64_t kExtensibleFmtBytes = 40;  // ... plus cbSize, valid bits, mask, GUID
// Tail of the sub-format GUID shared by all the standard formats; the first two bytes are the
// plain format tag (1 for integer PCM).
constexpr unsigned char kGuidTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                         0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
// Each chunk header costs a read; a file of nothing but tiny chunks must not keep us busy.
constexpr int kMaxChunksBeforeData = 100000;

std::uint32_t ReadUint32LE(const unsigned char* bytes) {
  return static_cast<std::uint32_t>(ReadInt32LE(bytes));
}

void ReadFmt(const InputFile& file, std::uint64_t offset, std::uint32_t size, WavHeader& header) {
  if (size < kFmtBytes) {
    throw LoadError("its fmt chunk is too short (" + std::to_string(size) +
                    " bytes; it needs at least 16)");
  }
  unsigned char fmt[kExtensibleFmtBytes] = {};
  const std::size_t wanted = std::min<std::uint64_t>(size, sizeof fmt);
  if (file.ReadAt(offset, fmt, wanted) < kFmtBytes) {
    throw LoadError("it ends inside its fmt chunk");
  }
  header.formatTag = static_cast<std::uint16_t>(ReadInt16LE(fmt));
  header.channelCount = ReadInt16LE(fmt + 2);
  header.sampleRate = ReadInt32LE(fmt + 4);
  header.blockAlign = ReadInt16LE(fmt + 12);
  header.bitsPerSample = ReadInt16LE(fmt + 14);
  header.pcmSubFormat = size >= kExtensibleFmtBytes && ReadInt16LE(fmt + 24) == kFormatPcm &&
                        std::memcmp(fmt + 26, kGuidTail, sizeof kGuidTail) == 0;
}

}  // namespace

WavHeader ReadWavHeader(const InputFile& file) {
  unsigned char riff[12] = {};
  if (file.ReadAt(0, riff, sizeof riff) < sizeof riff || std::memcmp(riff, "RIFF", 4) != 0 ||
      std::memcmp(riff + 8, "WAVE", 4) != 0) {
    throw LoadError("it is not a RIFF WAVE file");
  }
  WavHeader header;
  bool haveFmt = false;
  std::uint64_t offset = sizeof riff;
  for (int chunk = 0;; ++chunk) {
    unsigned char head[8] = {};
    if (file.ReadAt(offset, head, sizeof head) < sizeof head) break;
    if (chunk == kMaxChunksBeforeData) {
      throw LoadError("it has more than " + std::to_string(kMaxChunksBeforeData) +
                      " chunks before its data chunk");
    }
    const std::uint32_t size = ReadUint32LE(head + 4);
    const std::uint64_t body = offset + sizeof head;
    if (std::memcmp(head, "fmt ", 4) == 0 && !haveFmt) {
      ReadFmt(file, body, size, header);
      haveFmt = true;
    } else if (std::memcmp(head, "data", 4) == 0) {
      if (!haveFmt) throw LoadError("its data chunk comes before its fmt chunk");
      const std::uint64_t inFile = file.Size() - body;  // body <= Size(): the head was read
      const bool toEnd = size == 0 || size == 0xFFFFFFFFu || size > inFile;
      header.dataOffset = body;
      header.dataBytes = toEnd ? inFile : size;
      return header;
    }
    offset = body + size + (size & 1u);  // odd-sized chunks are followed by a pad byte
  }
  throw LoadError(haveFmt ? "it has no data chunk" : "it has no fmt chunk");
}

bool IsSixteenBitPcm(const WavHeader& header) {
  const bool pcm = header.formatTag == kFormatPcm ||
                   (header.formatTag == kFormatExtensible && header.pcmSubFormat);
  return pcm && header.bitsPerSample == 16;
}

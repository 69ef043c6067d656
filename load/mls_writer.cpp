#include "mls_writer.h"

#include <algorithm>
#include <bit>
#include <fstream>
#include <limits>
#include <stdexcept>
#include <vector>

namespace {

void PutUint32(std::uint8_t* bytes, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void WriteBytes(std::ostream& out, const std::vector<std::uint8_t>& bytes) {
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

void WriteMlsHeader(std::ostream& out, std::int32_t doubledPoints, std::int32_t micCount) {
  std::vector<std::uint8_t> bytes(8);
  PutUint32(bytes.data(), static_cast<std::uint32_t>(doubledPoints));
  PutUint32(bytes.data() + 4, static_cast<std::uint32_t>(micCount));
  WriteBytes(out, bytes);
}

void WriteMlsPoints(std::ostream& out, std::span<const ComplexPoint> points) {
  std::vector<std::uint8_t> bytes(8 * points.size());
  std::uint8_t* next = bytes.data();
  for (const ComplexPoint& point : points) {
    PutUint32(next, std::bit_cast<std::uint32_t>(point.re));
    PutUint32(next + 4, std::bit_cast<std::uint32_t>(point.im));
    next += 8;
  }
  WriteBytes(out, bytes);
}

void WriteMls(std::ostream& out, std::int32_t micCount, std::int32_t pointsPerMic,
              const MlsColumnFill& fill) {
  if (micCount < 0 || pointsPerMic < 0) {
    throw std::invalid_argument("an .mls file cannot have a negative count");
  }
  if (pointsPerMic > std::numeric_limits<std::int32_t>::max() / 2) {
    throw std::invalid_argument("twice the points per microphone must fit a 32-bit header field");
  }
  WriteMlsHeader(out, 2 * pointsPerMic, micCount);
  std::vector<ComplexPoint> column(static_cast<std::size_t>(pointsPerMic));
  for (std::int32_t mic = 0; mic < micCount && out; ++mic) {
    std::fill(column.begin(), column.end(), ComplexPoint{});
    fill(mic, column);
    WriteMlsPoints(out, column);
  }
}

bool WriteMlsFile(const std::string& path, std::int32_t micCount, std::int32_t pointsPerMic,
                  const MlsColumnFill& fill) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  WriteMls(out, micCount, pointsPerMic, fill);
  out.close();
  return !out.fail();
}

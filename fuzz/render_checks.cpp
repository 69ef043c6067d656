#include "render_checks.h"

#include <unistd.h>

#include <QBuffer>
#include <QFile>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>

#include "draw_map.h"
#include "grid_export.h"
#include "image_surface.h"
#include "output_files.h"

namespace fs = std::filesystem;

namespace {

// The grey of a cell worked out here rather than with the painter's own function: the span from
// the peak scaled to 0..255, limited, rounded to nearest with ties to even (the default rounding
// mode). Not called for 0 / 0.
std::uint8_t ExpectedGrey(float level, float peak, float range) {
  const double g =
      (static_cast<double>(peak) - static_cast<double>(level)) * 255.0 / static_cast<double>(range);
  return static_cast<std::uint8_t>(std::nearbyint(std::clamp(g, 0.0, 255.0)));
}

bool AnyCellAt(const LevelGrid& grid, float level) {
  for (std::int32_t c = 1; grid.RowCount() > 0 && c <= grid.MicCount(); ++c) {
    const auto column = grid.DataColumn(c);
    if (std::find(column.begin(), column.end(), level) != column.end()) return true;
  }
  return false;
}

bool SameBits(float a, float b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) __builtin_trap();
  return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

QImage CheckPaint(ViewState& state) {
  const LevelGrid& grid = state.LevelGrid;
  const bool tooLarge = std::int64_t{grid.MicCount()} + 2 * kPictureBorder > kMaxSide ||
                        std::int64_t{grid.RowCount()} + 2 * kPictureBorder > kMaxSide;
  const bool zeroOverZero = state.RangeDb == 0.0f && AnyCellAt(grid, state.PeakLevel);
  ImageSurface surface;
  try {
    DrawMap(state, surface);
  } catch (const DrawError&) {
    if (!tooLarge && !zeroOverZero) __builtin_trap();
    return {};
  }
  if (tooLarge || zeroOverZero || state.StopDrawing) __builtin_trap();

  const QImage& image = surface.Image();
  if (grid.RowCount() == 0 || grid.MicCount() == 0) {
    if (!image.isNull()) __builtin_trap();
    return {};
  }
  if (image.format() != QImage::Format_Grayscale8 || image.width() != grid.MicCount() ||
      image.height() != grid.RowCount()) {
    __builtin_trap();
  }
  for (std::int32_t c = 1; c <= grid.MicCount(); ++c) {
    const auto column = grid.DataColumn(c);
    for (std::int32_t r = 1; r <= grid.RowCount(); ++r) {
      const std::uint8_t expected =
          ExpectedGrey(column[static_cast<std::size_t>(r - 1)], state.PeakLevel, state.RangeDb);
      if (image.constScanLine(r - 1)[c - 1] != expected) __builtin_trap();
    }
  }
  return image;
}

QByteArray CheckPngRoundTrip(const QImage& image) {
  QBuffer buffer;
  if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) __builtin_trap();
  const QByteArray png = buffer.data();
  QImage decoded;
  if (!decoded.loadFromData(png, "PNG")) __builtin_trap();
  if (decoded.format() != QImage::Format_Grayscale8 || decoded.size() != image.size()) {
    __builtin_trap();
  }
  const auto width = static_cast<std::size_t>(image.width());
  for (int y = 0; y < image.height(); ++y) {
    if (std::memcmp(decoded.constScanLine(y), image.constScanLine(y), width) != 0) {
      __builtin_trap();
    }
  }
  return png;
}

void CheckNpy(const LevelGrid& grid, const std::string& npy) {
  constexpr std::size_t kPreamble = 10;  // magic, version, header length
  if (npy.size() < kPreamble || npy.compare(0, 8, std::string("\x93NUMPY\x01\x00", 8)) != 0) {
    __builtin_trap();
  }
  const std::size_t headerLength = static_cast<unsigned char>(npy[8]) |
                                   static_cast<std::size_t>(static_cast<unsigned char>(npy[9]))
                                       << 8;
  const std::size_t dataStart = kPreamble + headerLength;
  const std::size_t cells =
      static_cast<std::size_t>(grid.RowCount()) * static_cast<std::size_t>(grid.MicCount());
  if (dataStart % 64 != 0 || npy.size() != dataStart + 4 * cells || npy[dataStart - 1] != '\n') {
    __builtin_trap();
  }
  const std::string header = npy.substr(kPreamble, headerLength);
  const std::string shape =
      "'shape': (" + std::to_string(grid.RowCount()) + ", " + std::to_string(grid.MicCount()) + ")";
  if (header.find("'descr': '<f4'") == std::string::npos ||
      header.find("'fortran_order': False") == std::string::npos ||
      header.find(shape) == std::string::npos) {
    __builtin_trap();
  }
  const char* cell = npy.data() + dataStart;
  for (std::int32_t r = 1; cells > 0 && r <= grid.RowCount(); ++r) {
    for (std::int32_t c = 1; c <= grid.MicCount(); ++c, cell += 4) {
      float value;
      std::memcpy(&value, cell, 4);
      if (!SameBits(value, grid.At(r, c))) __builtin_trap();
    }
  }
}

void CheckCsv(const LevelGrid& grid, const std::string& csv) {
  std::size_t position = 0;
  for (std::int32_t r = 1; r <= grid.RowCount(); ++r) {
    const std::size_t end = csv.find('\n', position);
    if (end == std::string::npos) __builtin_trap();
    for (std::int32_t c = 1; c <= grid.MicCount(); ++c) {
      if (c > 1) {
        if (position >= end || csv[position] != ',') __builtin_trap();
        ++position;
      }
      float value;
      const auto [next, error] = std::from_chars(csv.data() + position, csv.data() + end, value);
      if (error != std::errc() || !SameBits(value, grid.At(r, c))) __builtin_trap();
      position = static_cast<std::size_t>(next - csv.data());
    }
    if (position != end) __builtin_trap();  // more fields, or text after the last one
    position = end + 1;
  }
  if (position != csv.size()) __builtin_trap();
}

void CheckOutputFiles(const QImage& image, const QByteArray& png, const LevelGrid& grid,
                      const std::string& npy, const std::string* csv, bool commit) {
  const fs::path folder = "/tmp/vexal_render_fuzz_" + std::to_string(::getpid());
  fs::remove_all(folder);
  fs::create_directory(folder);
  std::map<std::string, std::string> expected;
  {
    OutputFiles files;
    if (!image.isNull()) {
      files.Write(folder / "map.png", [&](int fd, std::ostream&) {
        QFile file;
        if (!file.open(fd, QIODevice::WriteOnly, QFileDevice::DontCloseHandle) ||
            !image.save(&file, "PNG")) {
          throw std::runtime_error("the PNG encoder failed");
        }
      });
      expected["map.png"] = png.toStdString();
    }
    files.Write(folder / "grid.npy", [&](int, std::ostream& out) { WriteNpy(grid, out); });
    expected["grid.npy"] = npy;
    if (csv != nullptr) {
      files.Write(folder / "grid.csv", [&](int, std::ostream& out) { WriteCsv(grid, out); });
      expected["grid.csv"] = *csv;
    }
    if (commit) files.Commit();
  }
  if (!commit) expected.clear();
  std::map<std::string, std::string> found;
  for (const auto& entry : fs::directory_iterator(folder)) {
    found[entry.path().filename().string()] = ReadFile(entry.path());
  }
  if (found != expected) __builtin_trap();
  fs::remove_all(folder);
}

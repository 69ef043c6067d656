#include "initial_image.h"

#include <array>

namespace {

constexpr std::size_t kFileSize = 1082;
constexpr std::size_t kPaletteOffset = 54;
constexpr std::size_t kPixelOffset = 1078;

constexpr void Put32(std::array<std::uint8_t, kFileSize>& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

constexpr std::array<std::uint8_t, kFileSize> MakeBytes() {
  std::array<std::uint8_t, kFileSize> b{};
  b[0] = 'B';
  b[1] = 'M';
  Put32(b, 2, kFileSize);
  Put32(b, 10, kPixelOffset);
  Put32(b, 14, 40);   // info header size
  Put32(b, 18, 1);    // width
  Put32(b, 22, 1);    // height, bottom-up
  b[26] = 1;          // planes
  b[28] = 8;          // bits per pixel
  Put32(b, 34, 4);    // image size: one row padded to 4 bytes
  Put32(b, 46, 256);  // colours used
  Put32(b, 50, 256);  // colours important
  for (std::size_t i = 0; i < 256; ++i) {
    const auto grey = static_cast<std::uint8_t>(i);
    b[kPaletteOffset + 4 * i] = grey;      // blue
    b[kPaletteOffset + 4 * i + 1] = grey;  // green
    b[kPaletteOffset + 4 * i + 2] = grey;  // red
  }
  b[kPixelOffset] = 251;
  return b;
}

constexpr std::array<std::uint8_t, kFileSize> kBytes = MakeBytes();

}  // namespace

std::span<const std::uint8_t> InitialImageBytes() {
  return kBytes;
}

// Decoded here from the bytes: Qt's image reader would first load every image format plugin of
// the machine, which costs a headless run several milliseconds.
QImage InitialImage() {
  QImage image(1, 1, QImage::Format_Indexed8);
  QList<QRgb> colours;
  for (std::size_t i = 0; i < 256; ++i) {
    const std::size_t at = kPaletteOffset + 4 * i;  // blue, green, red, unused
    colours.push_back(qRgb(kBytes[at + 2], kBytes[at + 1], kBytes[at]));
  }
  image.setColorTable(colours);
  image.setPixel(0, 0, kBytes[kPixelOffset]);
  return image;
}

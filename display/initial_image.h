#pragma once
// The picture's initial image: a 1 x 1 8-bit BMP whose palette holds all 256 greys and whose one
// pixel is grey 251. It sits on the interior's top-left pixel until a paint covers it.

#include <QImage>
#include <cstdint>
#include <span>

// The exact 1,082 bytes of the BMP file.
std::span<const std::uint8_t> InitialImageBytes();
// The same, decoded.
QImage InitialImage();

// Background of the picture where nothing is painted.
inline constexpr int kPictureBackground = 240;

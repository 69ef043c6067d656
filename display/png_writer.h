#pragma once
// A PNG writer made for maps, which are large areas of similar greys: zlib at its fastest level
// for large images, with the row filters and the matcher chosen on a sample of rows (unfiltered
// rows and run-length matching, by far the fastest, whenever they compress about as well). A row
// repeated by a zoom costs almost nothing. The files are standard 8-bit greyscale, RGB or RGBA
// PNGs.

#include <QImage>
#include <cstddef>
#include <cstdint>
#include <string>

// The PNG colour types written, with their values in the file.
enum class PngColour : unsigned char { Grey = 0, Rgb = 2, Rgba = 6 };

// Pixels to write: height rows of width pixels of 1 (grey), 3 (RGB) or 4 (RGBA) bytes, the rows
// stride bytes apart.
struct PngPixels {
  const unsigned char* bits = nullptr;
  std::ptrdiff_t stride = 0;
  int width = 0;
  int height = 0;
  PngColour colour = PngColour::Grey;
};

// Writes the pixels to the open descriptor fd from its current position. The descriptor stays
// open. Throws std::runtime_error with the cause (for a failed write, the system's text) when
// there are no pixels or a write fails; what was written by then is incomplete. Needs no Qt.
void WritePng(const PngPixels& pixels, int fd);

// The same for an image: Format_Grayscale8 as 8-bit greyscale, images without alpha as 8-bit RGB,
// the rest as 8-bit RGBA.
void WritePng(const QImage& image, int fd);

// The same into the file at path, created or truncated. On failure a partial regular file is
// removed.
void WritePng(const QImage& image, const std::string& path);

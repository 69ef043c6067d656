#pragma once
// A PNG writer made for maps, which are large areas of similar greys: zlib at its fastest level
// for large images, with the row filters and the matcher chosen on a sample of rows (unfiltered
// rows and run-length matching, by far the fastest, whenever they compress about as well). A row
// repeated by a zoom costs almost nothing. The files are standard 8-bit greyscale, RGB or RGBA
// PNGs.

#include <QImage>
#include <string>

// Writes image to the open descriptor fd from its current position: Format_Grayscale8 as 8-bit
// greyscale, images without alpha as 8-bit RGB, the rest as 8-bit RGBA. The descriptor stays
// open. Throws std::runtime_error with the cause (for a failed write, the system's text) when the
// image is null or a write fails; what was written by then is incomplete.
void WritePng(const QImage& image, int fd);

// The same into the file at path, created or truncated. On failure a partial regular file is
// removed.
void WritePng(const QImage& image, const std::string& path);

#pragma once
// Pictures written to an open descriptor in any format Qt's image writers know.

#include <QImage>
#include <string>

// Writes image to fd in Qt's image format named format ("png" through the map's own PNG writer).
// Every write is checked: throws std::runtime_error with the cause (for a failed write, the
// system's text) when the writer or a write fails. The descriptor stays open.
void WritePicture(const QImage& image, const std::string& format, int fd);

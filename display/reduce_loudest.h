#pragma once
// The loudest-cell reduction behind zoom factors below 1: each pixel of the reduced image shows
// the loudest cell of the out x out block it covers, so that no reflection disappears when a tall
// map is fitted to the screen. The loudest level has the smallest designed grey.

#include <QImage>

// `greys`: one byte per cell, QImage::Format_Indexed8 or Format_Grayscale8. Returns an image of
// ceil(width / out) x ceil(height / out) pixels in the same format (and, for Indexed8, with the
// same colour table), each pixel the smallest byte of its block; blocks at the right and bottom
// edges that are cut short use the cells that exist. out = 1 returns `greys` itself (shared, no
// copy); a null image gives a null image. Throws std::invalid_argument for out < 1 or another
// format, std::bad_alloc when the result cannot be allocated.
QImage ReduceLoudest(const QImage& greys, int out);
// The same for blocks of outX columns by outY rows (each from 1).
QImage ReduceLoudest(const QImage& greys, int outX, int outY);

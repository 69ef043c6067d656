#pragma once
// The axes and the legend around the map, laid out and painted once for the window, its saved
// and copied view and the renderer: the time scale right of the picture, the peak, the unit and
// the colour bar right of the scale, the microphone numbers and their caption under the picture.

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <cstdint>

#include "palette.h"
#include "view_image.h"
#include "zoom.h"

// Where the picture lies on the painter and what of the map it shows.
struct AxesPlace {
  QRect picture;          // the picture's outer rectangle: the cells inside a kPictureBorder border
  QPoint scroll;          // the view pixel shown at the inside's top-left
  bool scrollsY = false;  // rows lie off screen: ticks outside the picture are left out
  int underPicture = 0;   // pixels between the picture and the microphone axis (a scroll bar)
};

// Pixels right of the picture that the time scale's ticks and labels take: at least kScaleRoom.
int TimeLabelsRoom(const QFont& font, const LegendFacts& facts, Zoom rows);
// Pixels that the legend takes right of the time scale's room.
int LegendBesideScale(const QFont& font, const LegendFacts& facts);
// Pixels from the picture's top to the lowest of the legend and the microphone axis, for a picture
// of pictureOuterHeight with underPicture pixels under it.
int LegendDepth(const QFont& font, const LegendFacts& facts, int pictureOuterHeight,
                int underPicture);

// The time scale right of the picture: round steps about one label per kTimeLabelSpacing pixels
// at the rows' zoom, following their scrolling, none beyond the data's end, no label over another.
void PaintTimeAxis(QPainter& painter, const QFont& font, const AxesPlace& place, Zoom rows,
                   const LegendFacts& facts);
// The legend right of the time scale and the microphone axis under the picture.
void PaintLegend(QPainter& painter, const QFont& font, const AxesPlace& place, MapZoom zoom,
                 Palette palette, const LegendFacts& facts);

// A sunken border `width` pixels wide just inside `rect`: dark at the top and left, light at the
// bottom and right.
void PaintSunkenBorder(QPainter& painter, const QRect& rect, const QColor& light,
                       const QColor& dark, int width);

// Where the picture stands in a view with legend: the client pixels left of it, and the room above
// it that the top time label's glyphs reach into (its box rises kTickLabelRise, its first pixel
// row is blank), which ends just under the window's buttons.
inline constexpr QPoint kViewPictureAt{2, 4};

// The view with legend as the window shows it: its picture of pictureSize (at least the zoomed
// map and its border) at kViewPictureAt, holding the map at zoom in palette (columns from
// paintedColumns on as background), the axes and the legend, on ViewBackground (Format_RGB32).
// Throws DrawError when the picture cannot be allocated or would be too large.
QImage ShownMapImage(const QImage& greys, std::int32_t paintedColumns, MapZoom zoom,
                     Palette palette, const LegendFacts& facts, const QFont& font,
                     QSize pictureSize);

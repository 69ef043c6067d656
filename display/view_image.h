#pragma once
// The map as a person sees it: its cells at a zoom and in a palette and, when asked for, a legend
// and axes around them. The window paints its view, saves it and copies it with these functions,
// and the headless renderer writes them, so that all agree pixel for pixel.

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>
#include <string>

#include "level_units.h"
#include "palette.h"
#include "zoom.h"

class QPainter;

// What the legend and the axes say of a map.
struct LegendFacts {
  std::int32_t micCount = 0;
  std::int32_t rowCount = 0;
  float peakLevel = 0.0f;       // PeakLevel: the top of the colour bar
  float rangeDb = 100.0f;       // RangeDb: the bar spans peakLevel - rangeDb .. peakLevel
  std::int32_t sampleRate = 0;  // 0: the time axis counts rows
  std::int32_t decimation = 4;  // samples per row
  LevelScale scale = LevelScale::Decibel;
  std::string columnWord = "microphone";  // what a column is
  std::string columnSource = {};          // where the columns come from; empty: nothing to say
  double pixelsPerRow = 1.0;  // the rows' zoom, which chooses the time axis's steps
};

// The caption under the columns: "microphone", or "measurement — receiver 1, emitter 1,
// horizontal plane".
QString ColumnCaption(const std::string& word, const std::string& source);

// Where the parts of a view with legend and axes lie, in pixels of the whole view: the cells at
// the top-left (after a margin), the time axis at their right, the microphone axis under them,
// the colour bar with its labels, the peak and the unit at the far right.
struct ViewFrame {
  QSize size;       // the whole view
  QRect cells;      // the zoomed cells
  QRect timeAxis;   // ticks and labels of the time (or row) scale
  QRect micAxis;    // microphone numbers
  QRect colourBar;  // the bar itself; its labels lie right of it
};

// The frame of a map whose zoomed cells are cellPixels large: a function of the counts, the zoom's
// cell size, the facts' labels and the metrics of the default font (QFont()). A side too large for
// an int is limited to the largest int. Throws std::logic_error without a QGuiApplication, which
// the fonts need.
ViewFrame FrameView(QSize cellPixels, const LegendFacts& facts);

// The colours around the cells: the application palette's window colour when a QGuiApplication
// exists (the window's own background), else light grey (240, 240, 240); text and outlines
// black, or white on a dark window colour.
QColor ViewBackground();
QColor ViewForeground();

// The cells of a map of greys (one byte per cell, Format_Grayscale8 or Format_Indexed8,
// micCount x rowCount) as shown at zoom in palette: every cell inX x inY pixels of its colour;
// along a direction at 1:out each pixel the loudest cell (smallest grey) of its block.
// Format_Grayscale8 for the grey palette, Format_RGB888 for the others. Null for a null image.
// A zoom below 1 counts as 1, and 1:out wins over in:1 (as in MapPixelSize). Throws
// std::invalid_argument for another format, DrawError when the result cannot be allocated.
QImage ZoomedCells(const QImage& greys, MapZoom zoom, Palette palette);

// Paints the legend and the axes of frame (everything but the cells, the background included) on
// painter, whose origin is the view's top-left, in ViewBackground and ViewForeground: the window
// calls it for the part of the view it shows (microphone labels outside the painter's clip are
// skipped). Throws std::logic_error without a QGuiApplication.
void PaintLegendAndAxes(QPainter& painter, const ViewFrame& frame, MapZoom zoom, Palette palette,
                        const LegendFacts& facts);

// The whole view: without legend exactly ZoomedCells; with legend the cells in their frame,
// the axes and the colour bar on the window's background colour (Format_RGB888). Throws as
// ZoomedCells and, with legend, as FrameView.
QImage ViewImage(const QImage& greys, MapZoom zoom, Palette palette, bool legend,
                 const LegendFacts& facts);

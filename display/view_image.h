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

// What the legend and the axes say of a map: its counts of columns and rows, its levels, its time.
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
  QString note;           // lines under the colour bar's labels (what is compared with what)
  bool distance = false;  // the distance sound travels beside each millisecond label
};

// The caption under the columns: "microphone", or "measurement — receiver 1, emitter 1,
// horizontal plane".
QString ColumnCaption(const std::string& word, const std::string& source);

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

// The whole view: without legend exactly ZoomedCells; with legend the window's view of the whole
// map (ShownMapImage of a picture just around the zoomed cells, in the default font). Throws as
// ZoomedCells and, with legend, as ShownMapImage; std::logic_error with legend but without a
// QGuiApplication, which the fonts need.
QImage ViewImage(const QImage& greys, MapZoom zoom, Palette palette, bool legend,
                 const LegendFacts& facts);

#pragma once
// Where the source of each measurement of a SOFA set lies, which measurements a plane selection
// takes and in what order, and how a measurement is named in captions.

#include <cstdint>
#include <string>
#include <vector>

#include "load_choices.h"

struct SourcePosition {
  double a = 0.0, b = 0.0, c = 0.0;  // azimuth, elevation (degrees), distance (m); or x, y, z (m)
  bool cartesian = false;
};

// Azimuth in [0, 360) and elevation in degrees.
struct SourceDirection {
  double azimuth;
  double elevation;
};
SourceDirection DirectionOf(const SourcePosition& position);

// The indexes (from 0) of the measurements that selection takes, in column order: All keeps file
// order; Horizontal takes |elevation| <= 2 by azimuth; Median takes azimuths within 2 degrees of
// 0 or 180 by polar angle (front: the elevation, back: 180 - elevation). Ties keep file order.
std::vector<std::int32_t> SelectMeasurements(const std::vector<SourcePosition>& positions,
                                             SofaSelection selection);

// "Measurement 261 — azimuth 90°, elevation 0°, 1.4 m" or "Measurement 3 — x 1 m, y 0 m, z 0 m".
std::string MeasurementName(std::int32_t number, const SourcePosition& position);

// "horizontal plane" and the like, for the legend.
std::string SelectionText(SofaSelection selection);

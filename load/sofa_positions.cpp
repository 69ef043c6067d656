#include "sofa_positions.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <optional>

namespace {

constexpr double kPlaneTolerance = 2.0;  // degrees

double Degrees(double radians) {
  return radians * 180.0 / std::numbers::pi;
}

double WrappedAzimuth(double azimuth) {
  double wrapped = std::fmod(azimuth, 360.0);
  if (wrapped < 0.0) wrapped += 360.0;
  return wrapped >= 360.0 ? 0.0 : wrapped;  // a tiny negative azimuth wraps to 360 itself
}

// x with at most two decimals, trailing zeros dropped ("1.4", "90", "-0.25").
std::string Short(double x) {
  char text[64];
  std::snprintf(text, sizeof text, "%.2f", x);
  std::string shown = text;
  while (shown.back() == '0') shown.pop_back();
  if (shown.back() == '.') shown.pop_back();
  return shown == "-0" ? "0" : shown;
}

// Indexes of the measurements whose key is set, ordered by key, ties in file order.
template <typename Key>
std::vector<std::int32_t> OrderedBy(const std::vector<SourcePosition>& positions, Key key) {
  std::vector<std::pair<double, std::int32_t>> taken;
  for (std::size_t i = 0; i < positions.size(); ++i) {
    if (const auto value = key(DirectionOf(positions[i])); value && std::isfinite(*value)) {
      taken.emplace_back(*value, static_cast<std::int32_t>(i));
    }
  }
  std::stable_sort(taken.begin(), taken.end(),
                   [](const auto& x, const auto& y) { return x.first < y.first; });
  std::vector<std::int32_t> order;
  for (const auto& entry : taken) order.push_back(entry.second);
  return order;
}

}  // namespace

SourceDirection DirectionOf(const SourcePosition& position) {
  if (!position.cartesian) return {WrappedAzimuth(position.a), position.b};
  const double azimuth = Degrees(std::atan2(position.b, position.a));
  const double elevation = Degrees(std::atan2(position.c, std::hypot(position.a, position.b)));
  return {WrappedAzimuth(azimuth), elevation};
}

std::vector<std::int32_t> SelectMeasurements(const std::vector<SourcePosition>& positions,
                                             SofaSelection selection) {
  switch (selection) {
    case SofaSelection::Horizontal:
      return OrderedBy(positions, [](SourceDirection d) -> std::optional<double> {
        if (!(std::fabs(d.elevation) <= kPlaneTolerance)) return std::nullopt;
        return d.azimuth;
      });
    case SofaSelection::Median:
      return OrderedBy(positions, [](SourceDirection d) -> std::optional<double> {
        if (std::min(d.azimuth, 360.0 - d.azimuth) <= kPlaneTolerance) return d.elevation;
        if (std::fabs(d.azimuth - 180.0) <= kPlaneTolerance) return 180.0 - d.elevation;
        return std::nullopt;
      });
    case SofaSelection::All:
      break;
  }
  std::vector<std::int32_t> all(positions.size());
  for (std::size_t i = 0; i < all.size(); ++i) all[i] = static_cast<std::int32_t>(i);
  return all;
}

std::string MeasurementName(std::int32_t number, const SourcePosition& position) {
  const std::string head = "Measurement " + std::to_string(number) + " \u2014 ";
  if (position.cartesian) {
    return head + "x " + Short(position.a) + " m, y " + Short(position.b) + " m, z " +
           Short(position.c) + " m";
  }
  return head + "azimuth " + Short(position.a) + "\u00b0, elevation " + Short(position.b) +
         "\u00b0, " + Short(position.c) + " m";
}

std::string SelectionText(SofaSelection selection) {
  switch (selection) {
    case SofaSelection::Horizontal:
      return "horizontal plane";
    case SofaSelection::Median:
      return "median plane";
    case SofaSelection::All:
      break;
  }
  return "all measurements";
}

#include "profiles.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

std::string Number(double value, int decimals) {
  char text[400];
  if (decimals < 0) return {text, std::to_chars(text, text + sizeof text, value).ptr};
  std::string fixed(
      text, std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals).ptr);
  if (fixed.find('.') != std::string::npos) {
    fixed.erase(fixed.find_last_not_of('0') + 1);
    if (fixed.back() == '.') fixed.pop_back();
  }
  return fixed == "-0" ? "0" : fixed;
}

std::string Level(float value) {
  char text[64];
  const auto end =
      std::to_chars(text, text + sizeof text, value, std::chars_format::general, 9).ptr;
  return {text, end};
}

}  // namespace

bool RowsHaveTime(const ViewState& state) {
  return state.SampleRate != 0 && state.Decimation != 0;
}

double RowMilliseconds(const ViewState& state, std::int32_t row) {
  // The product is a whole number, exact in a double: one rounding, in the division.
  return (static_cast<double>(row) - 1.0) * state.Decimation * 1000.0 / state.SampleRate;
}

int MillisecondDecimals(const ViewState& state) {
  if (!RowsHaveTime(state)) return 0;
  const double rowMs = std::abs(static_cast<double>(state.Decimation) * 1000.0 / state.SampleRate);
  return std::clamp(2 - static_cast<int>(std::floor(std::log10(rowMs))), 0, 17);
}

Profile TimeProfile(const ViewState& state, std::int32_t column, const LevelGrid* reference) {
  const LevelGrid& grid = state.LevelGrid;
  Profile profile;
  profile.positionName = RowsHaveTime(state) ? "time_ms" : "row";
  if (RowsHaveTime(state)) profile.positionDecimals = MillisecondDecimals(state);
  if (column < 1 || column > grid.MicCount()) return profile;
  const auto levels = grid.DataColumn(column);
  profile.levels.assign(levels.begin(), levels.end());
  for (std::int32_t r = 1; r <= grid.RowCount(); ++r) {
    profile.positions.push_back(RowsHaveTime(state) ? RowMilliseconds(state, r) : r);
  }
  profile.withReference = reference != nullptr;
  if (reference != nullptr && column <= reference->MicCount()) {
    const auto theirs = reference->DataColumn(column);
    profile.referenceLevels.assign(
        theirs.begin(), theirs.begin() + std::min<std::ptrdiff_t>(theirs.size(), grid.RowCount()));
  }
  return profile;
}

Profile AcrossProfile(const ViewState& state, std::int32_t row, const LevelGrid* reference) {
  const LevelGrid& grid = state.LevelGrid;
  Profile profile;
  profile.positionName = "microphone";
  if (row < 1 || row > grid.RowCount()) return profile;
  for (std::int32_t c = 1; c <= grid.MicCount(); ++c) {
    profile.positions.push_back(c);
    profile.levels.push_back(grid.At(row, c));
  }
  profile.withReference = reference != nullptr;
  if (reference != nullptr && row <= reference->RowCount()) {
    const std::int32_t mics = std::min(grid.MicCount(), reference->MicCount());
    for (std::int32_t c = 1; c <= mics; ++c)
      profile.referenceLevels.push_back(reference->At(row, c));
  }
  return profile;
}

std::string ProfileCsv(const Profile& profile) {
  const bool withReference = profile.withReference || !profile.referenceLevels.empty();
  std::string csv = profile.positionName + ",level" + (withReference ? ",reference_level" : "");
  csv += '\n';
  for (std::size_t i = 0; i < profile.levels.size(); ++i) {
    csv += Number(profile.positions[i], profile.positionDecimals) + ',' + Level(profile.levels[i]);
    if (withReference) {
      csv += ',';
      if (i < profile.referenceLevels.size()) csv += Level(profile.referenceLevels[i]);
    }
    csv += '\n';
  }
  return csv;
}

std::optional<std::size_t> LoudestPoint(const Profile& profile) {
  if (profile.levels.empty()) return std::nullopt;
  return static_cast<std::size_t>(std::max_element(profile.levels.begin(), profile.levels.end()) -
                                  profile.levels.begin());
}

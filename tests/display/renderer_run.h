#pragma once
// Shared by the renderer's tests: a fresh folder for inputs and outputs, and one run of the
// renderer with its standard output and error captured.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "level_grid.h"
#include "render_run.h"
#include "test_files.h"
#include "wav_test_files.h"

struct RendererRun : ::testing::Test {
  // Runs the renderer; out and err hold only this run's output.
  int Run(const std::vector<std::string>& arguments) {
    out.str({});
    err.str({});
    return RunRenderer(arguments, out, err);
  }
  std::string In(const std::string& name) const { return (folder.Path() / name).string(); }
  // Two periods of 16 samples each, as a WAV file and as raw floats: take.wav and take.pcm.
  std::pair<std::string, std::string> TwoPeriodRecordings() {
    const std::vector<std::int16_t> samples(32, 1000);
    std::vector<std::uint8_t> floats;
    for (const std::int16_t s : samples) AppendFloat32(floats, s / 32768.0f);
    return {folder.Write("take.wav", MonoWav16(48000, samples)), folder.Write("take.pcm", floats)};
  }
  static std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

  TempFolder folder;
  std::ostringstream out, err;
};

// A rows x mics grid whose cell (r, c), both from 1, is f(r, c).
template <typename F>
LevelGrid GridOf(std::int32_t rows, std::int32_t mics, F f) {
  LevelGrid grid(rows, mics);
  for (std::int32_t c = 1; c <= mics; ++c) {
    const auto column = grid.DataColumn(c);
    for (std::int32_t r = 1; r <= rows; ++r) column[r - 1] = f(r, c);
  }
  return grid;
}

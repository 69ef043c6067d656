// The bundled examples load from a copy under folders whose names hold a "." exactly as from the
// source tree: only the file's own name chooses the reader.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "load_measurement.h"
#include "recording_host.h"
#include "test_files.h"

namespace fs = std::filesystem;

namespace {

const fs::path kExamples = VEXAL_EXAMPLES_DIR;

Measurement LoadExample(const fs::path& path) {
  RecordingHost host;
  return LoadedMeasurement(path.string(), host);
}

void ExpectSameLevels(const Measurement& copy, const Measurement& original) {
  ASSERT_EQ(copy.grid.MicCount(), original.grid.MicCount());
  ASSERT_EQ(copy.grid.RowCount(), original.grid.RowCount());
  EXPECT_EQ(copy.sampleRate, original.sampleRate);
  EXPECT_EQ(copy.peakLevel, original.peakLevel);
  for (std::int32_t column = 1; column <= copy.grid.MicCount(); ++column) {
    for (std::int32_t row = 1; row <= copy.grid.RowCount(); ++row) {
      ASSERT_EQ(copy.grid.At(row, column), original.grid.At(row, column))
          << "row " << row << ", column " << column;
    }
  }
}

TEST(Examples, EveryExampleLoadsAlikeFromADottedFolder) {
  const TempFolder folder;
  const fs::path dotted = folder.Path() / "meas.2024" / "mlsvexal-1.0";
  fs::create_directories(dotted);
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(kExamples)) {
    if (!entry.is_regular_file()) continue;
    const std::string name = entry.path().filename().string();
    SCOPED_TRACE(name);
    names.insert(name);
    fs::copy_file(entry.path(), dotted / name);
    const Measurement original = LoadExample(entry.path());
    EXPECT_GT(original.grid.MicCount(), 0);
    EXPECT_GT(original.grid.RowCount(), 0);
    ExpectSameLevels(LoadExample(dotted / name), original);
  }
  EXPECT_TRUE(names.count("room.mls") == 1 && names.count("hall.__lev") == 1)
      << "the examples moved; the test would prove little";
}

TEST(Examples, TheRightReaderReadsEachExampleUnderADottedFolder) {
  const TempFolder folder;
  const fs::path dotted = folder.Path() / "j.doe";
  fs::create_directory(dotted);
  fs::copy_file(kExamples / "room.mls", dotted / "room.mls");
  fs::copy_file(kExamples / "hall.__lev", dotted / "hall.__lev");
  // The counts that README gives for the two examples.
  EXPECT_EQ(LoadExample(dotted / "room.mls").grid.MicCount(), 64);
  EXPECT_EQ(LoadExample(dotted / "hall.__lev").grid.MicCount(), 12);
  EXPECT_EQ(LoadExample(dotted / "." / "room.mls").grid.MicCount(), 64);
}

}  // namespace

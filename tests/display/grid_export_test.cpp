// The grid writers on grids without cells: a header whose counts are large costs nothing.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <sstream>

#include "grid_export.h"
#include "mls_file.h"
#include "render_run.h"

using ::testing::HasSubstr;

namespace {

std::string Npy(const LevelGrid& grid) {
  std::ostringstream out;
  WriteNpy(grid, out);
  return out.str();
}

std::string Csv(const LevelGrid& grid) {
  std::ostringstream out;
  WriteCsv(grid, out);
  return out.str();
}

TEST(GridExport, AGridWithoutRowsIsTheNpyHeaderAloneWhateverItsMicrophoneCount) {
  const std::string npy = Npy(LevelGrid(0, INT32_MAX));
  EXPECT_EQ(npy.size(), 128u);
  EXPECT_THAT(npy, HasSubstr("'shape': (0, 2147483647)"));
  EXPECT_EQ(npy.back(), '\n');
  EXPECT_EQ(Csv(LevelGrid(0, INT32_MAX)), "");
}

TEST(GridExport, AGridWithoutMicrophonesIsTheNpyHeaderAloneWhateverItsRowCount) {
  const std::string npy = Npy(LevelGrid(INT32_MAX, 0));
  EXPECT_EQ(npy.size(), 128u);
  EXPECT_THAT(npy, HasSubstr("'shape': (2147483647, 0)"));
  EXPECT_EQ(Csv(LevelGrid(3, 0)), "\n\n\n");
}

TEST(GridExport, TheRendererSaysAHeaderWithoutPointsHoldsNoDataAndWritesNothing) {
  TempFolder folder;
  const auto file = folder.Write("empty.mls", MlsBytes(0, INT32_MAX, {}));
  const std::string target = (folder.Path() / "g.npy").string();
  std::ostringstream out, err;
  ASSERT_EQ(RunRenderer({"--grid", target, file}, out, err), 3) << err.str();
  EXPECT_FALSE(std::filesystem::exists(target));
}

}  // namespace

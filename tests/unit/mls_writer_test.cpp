// The .mls writer's bytes, independent of the reader, and its refusals.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <stdexcept>

#include "mls_writer.h"
#include "recording_host.h"
#include "test_files.h"

using ::testing::ElementsAre;

namespace {

std::vector<std::uint8_t> BytesOf(const std::ostringstream& out) {
  const std::string text = out.str();
  return {text.begin(), text.end()};
}

TEST(MlsWriter, WritesALittleEndianHeaderThenEachColumnInOrder) {
  std::vector<std::int32_t> filled;
  std::ostringstream out;
  WriteMls(out, 2, 1, [&](std::int32_t mic, std::span<ComplexPoint> column) {
    filled.push_back(mic);
    ASSERT_EQ(column.size(), 1u);
    column[0] = mic == 0 ? ComplexPoint{1.0f, -2.0f} : ComplexPoint{0.5f, 0.0f};
  });
  EXPECT_THAT(filled, ElementsAre(0, 1));
  // N = 2, two microphones; 1.0f = 0x3f800000, -2.0f = 0xc0000000, 0.5f = 0x3f000000.
  EXPECT_THAT(BytesOf(out), ElementsAre(2, 0, 0, 0, 2, 0, 0, 0,           //
                                        0, 0, 0x80, 0x3f, 0, 0, 0, 0xc0,  //
                                        0, 0, 0, 0x3f, 0, 0, 0, 0));
}

TEST(MlsWriter, ColumnsStartAtZeroWhateverTheFillLeavesUntouched) {
  std::ostringstream out;
  WriteMls(out, 2, 2, [](std::int32_t mic, std::span<ComplexPoint> column) {
    if (mic == 0) column[1] = {7.0f, 7.0f};
  });
  const std::vector<std::uint8_t> bytes = BytesOf(out);
  ASSERT_EQ(bytes.size(), 8u + 4 * 8);
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 24, bytes.end()),
            std::vector<std::uint8_t>(16, 0));
}

TEST(MlsWriter, WrittenFilesLoadAsTheirPoints) {
  TempFolder folder;
  const std::string path = (folder.Path() / "written.mls").string();
  ASSERT_TRUE(WriteMlsFile(path, 3, 2, [](std::int32_t mic, std::span<ComplexPoint> column) {
    column[0] = {3.0f, 4.0f};
    column[1] = {static_cast<float>(mic + 1), 0.0f};
  }));
  RecordingHost host;
  const Measurement loaded = LoadedMeasurement(path, host);
  ASSERT_EQ(loaded.grid.MicCount(), 3);
  ASSERT_EQ(loaded.grid.RowCount(), 2);
  EXPECT_FLOAT_EQ(loaded.grid.At(1, 3), static_cast<float>(20 * std::log(25.0)));
  EXPECT_FLOAT_EQ(loaded.grid.At(2, 3), static_cast<float>(20 * std::log(9.0)));
}

TEST(MlsWriter, RefusesCountsTheHeaderCannotHoldAndReportsFilesItCannotCreate) {
  std::ostringstream out;
  const MlsColumnFill none = [](std::int32_t, std::span<ComplexPoint>) {};
  EXPECT_THROW(WriteMls(out, -1, 1, none), std::invalid_argument);
  EXPECT_THROW(WriteMls(out, 1, -1, none), std::invalid_argument);
  EXPECT_THROW(WriteMls(out, 1, std::numeric_limits<std::int32_t>::max() / 2 + 1, none),
               std::invalid_argument);
  EXPECT_EQ(out.str(), "");  // nothing written before a refusal

  TempFolder folder;
  EXPECT_FALSE(WriteMlsFile((folder.Path() / "missing" / "x.mls").string(), 1, 1, none));
}

}  // namespace

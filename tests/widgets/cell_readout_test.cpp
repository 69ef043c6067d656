// The read-out's text for known cells.

#include <gtest/gtest.h>

#include "cell_readout.h"

namespace {
ViewState TwoByThree() {
  ViewState state;
  state.LevelGrid = LevelGrid(3, 2);
  state.LevelGrid.DataColumn(2)[2] = -23.456f;  // cell (2, 3)
  state.LevelGrid.DataColumn(1)[0] = 10.0f;     // cell (1, 1)
  state.PeakLevel = 10.0f;
  state.Decimation = 4;
  return state;
}
}  // namespace

TEST(CellReadout, GivesPositionTimeLevelAndDistanceBelowThePeak) {
  ViewState state = TwoByThree();
  state.SampleRate = 60606;  // 3 rows x 4 / 60606 s = 0.198 ms
  EXPECT_EQ(CellReadout(state, 2, 3, "."),
            "Microphone 2\nTime 0.198 ms\nLevel -23.46\n33.46 below the peak");
  EXPECT_EQ(CellReadout(state, 1, 1, ","),
            "Microphone 1\nTime 0,066 ms\nLevel 10,00\n0,00 below the peak");
  state.SampleRate = 4000;
  state.Decimation = 1;
  EXPECT_EQ(CellReadout(state, 1, 2, "."),
            "Microphone 1\nTime 0.500 ms\nLevel 0.00\n10.00 below the peak");
}

TEST(CellReadout, LeavesTheTimeOutWhileThereIsNoRate) {
  ViewState state = TwoByThree();
  state.SampleRate = 0;  // a complex-spectrum file
  EXPECT_EQ(CellReadout(state, 2, 3, "."), "Microphone 2\nLevel -23.46\n33.46 below the peak");
  state.SampleRate = 8000;
  state.Decimation = 0;
  EXPECT_EQ(CellReadout(state, 2, 3, "."), "Microphone 2\nLevel -23.46\n33.46 below the peak");
}

TEST(CellReadout, SaysNothingOutsideTheGrid) {
  const ViewState state = TwoByThree();
  EXPECT_EQ(CellReadout(state, 0, 1, "."), "");
  EXPECT_EQ(CellReadout(state, 1, 0, "."), "");
  EXPECT_EQ(CellReadout(state, 3, 1, "."), "");
  EXPECT_EQ(CellReadout(state, 1, 4, "."), "");
  EXPECT_EQ(CellReadout(ViewState{}, 1, 1, "."), "");
}

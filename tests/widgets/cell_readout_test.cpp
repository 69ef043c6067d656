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
  state.SampleRate = 60606;  // row 3 starts 2 rows x 4 / 60606 s = 0.132 ms in
  EXPECT_EQ(CellReadout(state, 2, 3, LevelScale::Decibel, "."),
            "Microphone 2\nTime 0.132 ms\nLevel -23.46 dB\n33.46 dB below the peak");
  EXPECT_EQ(CellReadout(state, 1, 1, LevelScale::Decibel, ","),
            "Microphone 1\nTime 0,000 ms\nLevel 10,00 dB\n0,00 dB below the peak");
  // The binary kinds' natural-logarithm levels with their dB equivalent.
  EXPECT_EQ(CellReadout(state, 2, 3, LevelScale::EnergyLn, "."),
            "Microphone 2\nTime 0.132 ms\nLevel -23.46 (-10.187 dB)\n33.46 (14.530 dB) below the "
            "peak");
  state.SampleRate = 4000;
  state.Decimation = 1;
  EXPECT_EQ(CellReadout(state, 1, 2, LevelScale::Decibel, "."),
            "Microphone 1\nTime 0.250 ms\nLevel 0.00 dB\n10.00 dB below the peak");
}

TEST(CellReadout, GivesTheRowWhileThereIsNoRate) {
  ViewState state = TwoByThree();
  state.SampleRate = 0;  // a complex-spectrum file
  EXPECT_EQ(CellReadout(state, 2, 3, LevelScale::MlsLn, "."),
            "Microphone 2\nRow 3\nLevel -23.46 (-5.093 dB)\n33.46 (7.265 dB) below the peak");
  state.SampleRate = 8000;
  state.Decimation = 0;
  EXPECT_EQ(CellReadout(state, 2, 3, LevelScale::Decibel, "."),
            "Microphone 2\nRow 3\nLevel -23.46 dB\n33.46 dB below the peak");
}

TEST(CellReadout, SaysNothingOutsideTheGrid) {
  const ViewState state = TwoByThree();
  EXPECT_EQ(CellReadout(state, 0, 1, LevelScale::Decibel, "."), "");
  EXPECT_EQ(CellReadout(state, 1, 0, LevelScale::Decibel, "."), "");
  EXPECT_EQ(CellReadout(state, 3, 1, LevelScale::Decibel, "."), "");
  EXPECT_EQ(CellReadout(state, 1, 4, LevelScale::Decibel, "."), "");
  EXPECT_EQ(CellReadout(ViewState{}, 1, 1, LevelScale::Decibel, "."), "");
}

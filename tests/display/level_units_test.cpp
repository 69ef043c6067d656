#include "level_units.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(LevelUnits, ScaleFollowsTheReaderKind) {
  EXPECT_EQ(LevelScaleFor(ReaderKind::Mls), LevelScale::MlsLn);
  EXPECT_EQ(LevelScaleFor(ReaderKind::Wav), LevelScale::EnergyLn);
  EXPECT_EQ(LevelScaleFor(ReaderKind::Pcm), LevelScale::EnergyLn);
  EXPECT_EQ(LevelScaleFor(ReaderKind::Sofa), LevelScale::EnergyLn);
  EXPECT_EQ(LevelScaleFor(ReaderKind::Audio), LevelScale::EnergyLn);
  EXPECT_EQ(LevelScaleFor(ReaderKind::TextMap), LevelScale::Decibel);
  EXPECT_EQ(LevelScaleFor(ReaderFor(FileKindOf("room.mls"))), LevelScale::MlsLn);
  EXPECT_EQ(LevelScaleFor(ReaderFor(FileKindOf("hall.__lev"))), LevelScale::Decibel);
}

TEST(LevelUnits, TheFactorsGiveTheDecibelsOfTheQuantity) {
  // |X| = 10: level 20 ln(|X|^2) = 20 ln 100, and 20 log10 |X| = 20 dB.
  EXPECT_NEAR(ToDecibels(LevelScale::MlsLn, 20.0 * std::log(100.0)), 20.0, 1e-12);
  // E = 1000: level 10 ln E, and 10 log10 E = 30 dB.
  EXPECT_NEAR(ToDecibels(LevelScale::EnergyLn, 10.0 * std::log(1000.0)), 30.0, 1e-12);
  EXPECT_EQ(ToDecibels(LevelScale::Decibel, -42.5), -42.5);
}

TEST(LevelUnits, UnitNames) {
  EXPECT_EQ(LevelUnitName(LevelScale::MlsLn), QString::fromUtf8("20\xC2\xB7ln|X|\xC2\xB2"));
  EXPECT_EQ(LevelUnitName(LevelScale::EnergyLn), QString::fromUtf8("10\xC2\xB7ln E"));
  EXPECT_EQ(LevelUnitName(LevelScale::Decibel), QStringLiteral("dB"));
}

TEST(LevelUnits, TextGivesTheDecibelEquivalentForTheBinaryKinds) {
  EXPECT_EQ(LevelText(LevelScale::MlsLn, -12.3), QStringLiteral("-12.3 (-2.67 dB)"));
  EXPECT_EQ(LevelText(LevelScale::EnergyLn, -12.3), QStringLiteral("-12.3 (-5.34 dB)"));
  EXPECT_EQ(LevelText(LevelScale::Decibel, -12.3), QStringLiteral("-12.3 dB"));
  EXPECT_EQ(LevelText(LevelScale::MlsLn, 100.0, 0), QStringLiteral("100 (21.7 dB)"));
  EXPECT_EQ(LevelText(LevelScale::EnergyLn, 100.0, 2, QStringLiteral(",")),
            QStringLiteral("100,00 (43,429 dB)"));
  EXPECT_EQ(LevelText(LevelScale::Decibel, 3.14159, 3), QStringLiteral("3.142 dB"));
}

TEST(LevelUnits, NoMinusSignOnZero) {
  EXPECT_EQ(LevelText(LevelScale::Decibel, -0.04), QStringLiteral("0.0 dB"));
  EXPECT_EQ(LevelText(LevelScale::MlsLn, -0.01), QStringLiteral("0.0 (0.00 dB)"));
  EXPECT_EQ(LevelText(LevelScale::MlsLn, -0.3), QStringLiteral("-0.3 (-0.07 dB)"));
}

}  // namespace

#include "range_text.h"

#include <gtest/gtest.h>

#include "number_text.h"

TEST(RangeText, FormatsWithThePatternOfTwoOptionalDecimals) {
  EXPECT_EQ(FormatRangeText(100.0f, "."), "100.");
  EXPECT_EQ(FormatRangeText(0.25f, "."), ".25");
  EXPECT_EQ(FormatRangeText(50.0f, ","), "50,");
  EXPECT_EQ(FormatRangeText(12.5f, ","), "12,5");
  EXPECT_EQ(FormatRangeText(12.345f, "."), "12.35");  // 12.345f lies just above the half
  EXPECT_EQ(FormatRangeText(0.001f, "."), ".");
  EXPECT_EQ(FormatRangeText(-40.0f, "."), "-40.");
  EXPECT_EQ(FormatRangeText(1e30f, ".").substr(0, 4), "1000");
}

TEST(RangeText, RefusesWhatWouldNotPaint) {
  const auto read = [](const std::string& text) { return ReadRangeAnswer(text, ParseDecimal); };
  EXPECT_EQ(std::get<float>(read("50")), 50.0f);
  EXPECT_EQ(std::get<float>(read(" -20 ")), -20.0f);  // negative: stored, paints black
  EXPECT_EQ(std::get<RangeRefusal>(read("abc")).message, "\"abc\" is not a number.");
  EXPECT_EQ(std::get<RangeRefusal>(read("")).message, "\"\" is not a number.");
  EXPECT_EQ(std::get<RangeRefusal>(read("1e39")).message, "1e39 is too large for a dB range.");
  EXPECT_EQ(std::get<RangeRefusal>(read("0")).message, "The dB range cannot be 0.");
  // Too small for single precision: it would be stored as 0.
  EXPECT_TRUE(std::holds_alternative<RangeRefusal>(read("1e-50")));
  EXPECT_EQ(std::get<float>(read("3.4e38")), 3.4e38f);
}

TEST(RangeText, TheSpanInTheLevelsUnitAndInDecibels) {
  // 100 units of 10 ln E are 100 / ln 10 = 43.43 dB; of 20 ln |X|², 100 / (2 ln 10) = 21.71
  // dB; 12.5 of them 2.71 dB.
  EXPECT_EQ(RangeMeaning(LevelScale::EnergyLn, 100.0f, "."),
            "Levels of this file: 10·ln E — 100 = 43.4 dB");
  EXPECT_EQ(RangeMeaning(LevelScale::MlsLn, 12.5f, ","),
            "Levels of this file: 20·ln|X|² — 12,5 = 2,7 dB");
  EXPECT_EQ(RangeMeaning(LevelScale::Decibel, 60.0f, "."),
            "Levels of this file: dB — 60 = 60.0 dB");
}

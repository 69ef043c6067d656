#include "rounding.h"

#include <gtest/gtest.h>

#include <limits>

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(RoundToInt32(2.5), 2);
  EXPECT_EQ(RoundToInt32(3.5), 4);
  EXPECT_EQ(RoundToInt32(-0.5), 0);
  EXPECT_EQ(RoundToInt32(-1.5), -2);
  EXPECT_EQ(RoundToInt32(1022.75), 1023);
  EXPECT_EQ(RoundToInt32(4.5), 4);
  EXPECT_EQ(RoundToInt<std::int16_t>(254.5), 254);
  EXPECT_EQ(RoundToInt<std::int16_t>(255.5), 256);
  EXPECT_EQ(RoundToInt32(0.49999999999999994), 0);
}

TEST(Rounding, OutOfRangeIsAnErrorNotUndefinedBehaviour) {
  EXPECT_EQ(RoundToInt32(2147483647.4), 2147483647);
  EXPECT_EQ(RoundToInt32(-2147483648.5), std::numeric_limits<std::int32_t>::min());
  EXPECT_THROW(RoundToInt32(2147483647.5), RoundingOverflow);
  EXPECT_THROW(RoundToInt32(-2147483649.0), RoundingOverflow);
  EXPECT_THROW(RoundToInt32(std::numeric_limits<double>::quiet_NaN()), RoundingOverflow);
  EXPECT_THROW(RoundToInt32(std::numeric_limits<double>::infinity()), RoundingOverflow);
  EXPECT_EQ(RoundToInt<std::int16_t>(32767.4), 32767);
  EXPECT_THROW(RoundToInt<std::int16_t>(32767.5), RoundingOverflow);
  EXPECT_THROW(RoundToInt<std::int16_t>(-32769.0), RoundingOverflow);
}

#include "picture_limit.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::HasSubstr;

TEST(PictureLimit, PicturesUpToOneGibibyteAreMadeLargerOnesAreRefusedWithTheirSize) {
  EXPECT_EQ(PictureLimitFault(32768, 32768, 1), std::nullopt);  // exactly 1 GiB
  EXPECT_EQ(PictureLimitFault(0, 0, 3), std::nullopt);
  EXPECT_EQ(PictureLimitFault(1'000'000, 1'000'000, 0), std::nullopt);
  const auto oneMore = PictureLimitFault(32768, 32769, 1);
  ASSERT_TRUE(oneMore.has_value());
  EXPECT_THAT(*oneMore, HasSubstr("32768 × 32769 pixels (1.0 GiB), more than the 1 GiB"));
  // 256 microphones x 131072 rows at zoom 32, in colour: no int overflow on the way.
  const auto huge = PictureLimitFault(256 * 32, 131072 * 32, 3);
  ASSERT_TRUE(huge.has_value());
  EXPECT_THAT(*huge, HasSubstr("8192 × 4194304 pixels (96.0 GiB)"));
  EXPECT_TRUE(PictureLimitFault(-1, 10, 1).has_value());
}

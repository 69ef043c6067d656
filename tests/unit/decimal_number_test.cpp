#include "decimal_number.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cstdint>
#include <random>
#include <string>
#include <system_error>

namespace {

struct Converted {
  bool ok;
  std::uint64_t bits;  // compared bit for bit: -0 is not 0
  bool operator==(const Converted&) const = default;
};

Converted Ours(const std::string& text) {
  double value = 0.0;
  const bool ok = DecimalToDouble(text.data(), text.data() + text.size(), value);
  return {ok, ok ? std::bit_cast<std::uint64_t>(value) : 0};
}

Converted Library(const std::string& text) {
  const char* begin = text.data();
  if (*begin == '+') ++begin;
  double value = 0.0;
  const auto result =
      std::from_chars(begin, text.data() + text.size(), value, std::chars_format::general);
  const bool ok = result.ec == std::errc() && result.ptr == text.data() + text.size();
  return {ok, ok ? std::bit_cast<std::uint64_t>(value) : 0};
}

// A decimal number of the shapes exports hold and around the shortcut's limits: up to 22
// digits, a point anywhere or none, an exponent from -40 to 40 or none, either sign.
std::string RandomDecimal(std::mt19937_64& random) {
  std::uniform_int_distribution<int> digitCount(1, 22);
  std::uniform_int_distribution<int> digit(0, 9);
  std::uniform_int_distribution<int> exponent(-40, 40);
  std::uniform_int_distribution<int> choice(0, 3);
  std::string text;
  if (const int sign = choice(random); sign == 1) {
    text += '-';
  } else if (sign == 2) {
    text += '+';
  }
  const int digits = digitCount(random);
  const int point = std::uniform_int_distribution<int>(-1, digits)(random);
  for (int i = 0; i < digits; ++i) {
    if (i == point) text += '.';
    text += static_cast<char>('0' + digit(random));
  }
  if (point == digits) text += '.';
  if (choice(random) != 0) {
    text += choice(random) == 0 ? 'E' : 'e';
    const int e = exponent(random);
    if (e < 0) {
      text += '-';
    } else if (choice(random) == 0) {
      text += '+';
    }
    if (choice(random) == 0) text += '0';  // a leading zero in the exponent
    text += std::to_string(e < 0 ? -e : e);
  }
  return text;
}

TEST(DecimalToDouble, GivesTheLibrarysNearestDoubleBitForBit) {
  std::mt19937_64 random(20261208);
  for (int i = 0; i < 400000; ++i) {
    const std::string text = RandomDecimal(random);
    ASSERT_EQ(Ours(text), Library(text)) << text;
  }
}

TEST(DecimalToDouble, EdgesOfTheShortcut) {
  for (const char* text : {"0",
                           "-0",
                           "+0.0e5",
                           "-0e-400",
                           "9007199254740992",
                           "9007199254740993",
                           "9007199254740995",
                           "1e22",
                           "1e23",
                           "-1e-22",
                           "1e-23",
                           "4.999999999999999999e-1",
                           "1234567890123456789",
                           "12345678901234567890",
                           "0.1",
                           "0.3",
                           "2.2250738585072014e-308",
                           "4.9e-324",
                           "1e-400",
                           "1.7976931348623157e308",
                           "1.8e308",
                           "1e400",
                           "1e0005",
                           "5.000000e-01",
                           "7.",
                           ".5E+1"}) {
    EXPECT_EQ(Ours(text), Library(text)) << text;
  }
  EXPECT_TRUE(Ours("-0").ok);
  EXPECT_EQ(Ours("-0").bits, std::bit_cast<std::uint64_t>(-0.0));
  EXPECT_FALSE(Ours("1e400").ok);
}

}  // namespace

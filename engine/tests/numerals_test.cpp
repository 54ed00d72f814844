#include "sekato/numerals.h"

#include <gtest/gtest.h>

#include "testsupport.h"

namespace sekato::engine {
namespace {

using test::G;

TEST(Numerals, ChineseNumeralsAreWrittenAsBooksWriteThem) {
  const std::vector<std::pair<std::int64_t, const char*>> cases = {
      {1, "一"},
      {9, "九"},
      {10, "十"},
      {11, "十一"},
      {19, "十九"},
      {20, "二十"},
      {21, "二十一"},
      {99, "九十九"},
      {100, "一百"},
      {101, "一百零一"},
      {105, "一百零五"},
      {110, "一百一十"},
      {120, "一百二十"},
      {1000, "一千"},
      {1005, "一千零五"},
      {1010, "一千零一十"},
      {1100, "一千一百"},
      {10000, "一万"},
      {10010, "一万零一十"},
      {10100, "一万零一百"},
      {12345, "一万二千三百四十五"},
      {100000, "十万"},
      {110000, "十一万"},
      {100100, "十万零一百"},
      {1000000, "一百万"},
      {1001000, "一百万一千"},
      {1000100, "一百万零一百"},
      {100000000, "一亿"},
      {100010000, "一亿零一万"},
  };
  for (const auto& [n, text] : cases) {
    EXPECT_EQ(Numerals::Text(n, Numerals::Series::Chinese), G(text)) << n;
  }
}

TEST(Numerals, DigitSeriesWriteTheDecimalNumber) {
  EXPECT_EQ(Numerals::Text(12, Numerals::Series::Ascii), "12");
  EXPECT_EQ(Numerals::Text(12, Numerals::Series::FullWidth), G("１２"));
  EXPECT_EQ(Numerals::Text(1090, Numerals::Series::FullWidth), G("１０９０"));
}

}  // namespace
}  // namespace sekato::engine

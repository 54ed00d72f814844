#include "numeralreader.h"

#include <gtest/gtest.h>

#include "sekato/numerals.h"
#include "testsupport.h"

namespace sekato::engine {
namespace {

using test::G;
using S = Numerals::Series;

TEST(NumeralReader, ReadsEverySpellingBooksUse) {
  struct Case {
    const char* text;
    S series;
    std::int64_t value;
  };
  constexpr std::int64_t kNo = NumeralReader::kUnreadable;
  const std::vector<Case> cases = {
      {"7", S::Ascii, 7},
      {"001", S::Ascii, 1},
      {"０１", S::FullWidth, 1},
      {"１２０", S::FullWidth, 120},
      {"十", S::Chinese, 10},
      {"十一", S::Chinese, 11},
      {"二十", S::Chinese, 20},
      {"一百", S::Chinese, 100},
      {"一百零", S::Chinese, 100},
      {"一百零一", S::Chinese, 101},
      {"一百一", S::Chinese, 101},     // 零 left out
      {"一千一十", S::Chinese, 1010},  // 零 left out
      {"一百一十", S::Chinese, 110},
      {"一百十", S::Chinese, 110},  // 十 without its 一
      {"一百十一", S::Chinese, 111},
      {"一千零十", S::Chinese, 1010},
      {"两百", S::Chinese, 200},
      {"两千零二", S::Chinese, 2002},
      {"两万", S::Chinese, 20000},
      {"一〇一", S::Chinese, 101},  // digits one by one
      {"一零一", S::Chinese, 101},
      {"二〇〇", S::Chinese, 200},
      {"壹佰贰拾叁", S::Chinese, 123},  // financial forms
      {"拾", S::Chinese, 10},
      {"一万零一十", S::Chinese, 10010},
      {"十一万", S::Chinese, 110000},
      {"一亿零一万", S::Chinese, 100010000},
      {"十十", S::Chinese, kNo},
      {"百", S::Chinese, kNo},
      {"两十", S::Chinese, kNo},
      {"两", S::Chinese, kNo},
      {"一二十", S::Chinese, kNo},
      {"十百", S::Chinese, kNo},
      {"一零十", S::Chinese, kNo},
      {"万", S::Chinese, kNo},
      {"", S::Ascii, kNo},
      {"1234567890123456789", S::Ascii, kNo},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NumeralReader::Value(G(c.text), c.series), c.value) << c.text;
  }
}

TEST(NumeralReader, WritesAndReadsAgreeForEveryChapterNumber) {
  for (std::int64_t n = 1; n <= 20000; ++n) {
    for (const auto series : {S::Ascii, S::FullWidth, S::Chinese}) {
      const std::string text = Numerals::Text(n, series);
      ASSERT_EQ(NumeralReader::RunEnd(text, 0, series), text.size()) << n;
      ASSERT_EQ(NumeralReader::Value(text, series), n) << n;
    }
  }
}

// A short spoken form reads two ways (the digit as the ones, or as the next unit down);
// the traditional characters read as their simplified twins.
struct Reading {
  const char* text;
  std::int64_t value;
  std::int64_t spoken;
};

class NumeralReadings : public ::testing::TestWithParam<Reading> {};

TEST_P(NumeralReadings, ReadsBothWaysWhereTheSpokenFormIsShort) {
  const Reading& c = GetParam();
  const std::string text = G(c.text);
  ASSERT_EQ(NumeralReader::RunEnd(text, 0, S::Chinese), text.size()) << c.text;
  EXPECT_EQ(NumeralReader::Value(text, S::Chinese), c.value) << c.text;
  EXPECT_EQ(NumeralReader::SpokenValue(text, S::Chinese), c.spoken) << c.text;
  EXPECT_TRUE(NumeralReader::Reads(text, S::Chinese, c.value)) << c.text;
  EXPECT_TRUE(NumeralReader::Reads(text, S::Chinese, c.spoken)) << c.text;
  EXPECT_FALSE(NumeralReader::Reads(text, S::Chinese, c.spoken + 1)) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    SpokenAndTraditional, NumeralReadings,
    ::testing::Values(Reading{"一百三", 103, 130}, Reading{"一千二", 1002, 1200},
                      Reading{"三万五", 30005, 35000}, Reading{"两百三", 203, 230},
                      Reading{"一万一千二", 11002, 11200}, Reading{"三亿五", 300000005, 350000000},
                      Reading{"一百零三", 103, 103},  // the 零 settles it
                      Reading{"一千零二", 1002, 1002}, Reading{"十五", 15, 15},
                      Reading{"一百三十", 130, 130}, Reading{"一萬", 10000, 10000},
                      Reading{"三萬五", 30005, 35000}, Reading{"一億", 100000000, 100000000},
                      Reading{"兩百", 200, 200}, Reading{"貳拾", 20, 20}, Reading{"參拾參", 33, 33},
                      Reading{"陸", 6, 6}, Reading{"一百零陸", 106, 106}));

TEST(NumeralReader, TraditionalFormsFollowTheSimplifiedRules) {
  constexpr std::int64_t kNo = NumeralReader::kUnreadable;
  EXPECT_EQ(NumeralReader::Value(G("兩十"), S::Chinese), kNo);  // as 两十
  EXPECT_EQ(NumeralReader::Value(G("萬"), S::Chinese), kNo);
  EXPECT_EQ(NumeralReader::Value(G("一億萬"), S::Chinese), kNo);
}

TEST(NumeralReader, RunStopsAtTheFirstCharacterOutsideItsSeries) {
  const std::string text = G("第一百二十回 3");
  EXPECT_EQ(NumeralReader::RunEnd(text, 2, S::Chinese), 10u);
  EXPECT_EQ(NumeralReader::RunEnd(text, 2, S::Ascii), 2u);
  std::size_t end = 0;
  std::int64_t value = 0;
  ASSERT_TRUE(NumeralReader::ReadAny(text, 13, end, value));
  EXPECT_EQ(value, 3);
  EXPECT_FALSE(NumeralReader::ReadAny(text, 0, end, value));
}

}  // namespace
}  // namespace sekato::engine

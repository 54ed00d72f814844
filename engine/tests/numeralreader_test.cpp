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

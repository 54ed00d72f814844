#include <gtest/gtest.h>

#include "numeralreader.h"
#include "numerals.h"
#include "testsupport.h"

namespace sekato::engine {
namespace {

using test::G;

TEST(NumeralReader, ReadsEverySpellingBooksUse) {
  struct Case {
    const char* text;
    int series;
    std::int64_t value;
  };
  constexpr std::int64_t kNo = NumeralReader::kUnreadable;
  const std::vector<Case> cases = {
      {"7", Numerals::kAscii, 7},
      {"001", Numerals::kAscii, 1},
      {"０１", Numerals::kFullWidth, 1},
      {"１２０", Numerals::kFullWidth, 120},
      {"十", Numerals::kChinese, 10},
      {"十一", Numerals::kChinese, 11},
      {"二十", Numerals::kChinese, 20},
      {"一百", Numerals::kChinese, 100},
      {"一百零", Numerals::kChinese, 100},
      {"一百零一", Numerals::kChinese, 101},
      {"一百一", Numerals::kChinese, 101},          // 零 left out
      {"一千一十", Numerals::kChinese, 1010},       // 零 left out
      {"一百一十", Numerals::kChinese, 110},
      {"一百十", Numerals::kChinese, 110},          // 十 without its 一
      {"一百十一", Numerals::kChinese, 111},
      {"一千零十", Numerals::kChinese, 1010},
      {"两百", Numerals::kChinese, 200},
      {"两千零二", Numerals::kChinese, 2002},
      {"两万", Numerals::kChinese, 20000},
      {"一〇一", Numerals::kChinese, 101},          // digits one by one
      {"一零一", Numerals::kChinese, 101},
      {"二〇〇", Numerals::kChinese, 200},
      {"壹佰贰拾叁", Numerals::kChinese, 123},      // financial forms
      {"拾", Numerals::kChinese, 10},
      {"一万零一十", Numerals::kChinese, 10010},
      {"十一万", Numerals::kChinese, 110000},
      {"一亿零一万", Numerals::kChinese, 100010000},
      {"十十", Numerals::kChinese, kNo},
      {"百", Numerals::kChinese, kNo},
      {"两十", Numerals::kChinese, kNo},
      {"两", Numerals::kChinese, kNo},
      {"一二十", Numerals::kChinese, kNo},
      {"十百", Numerals::kChinese, kNo},
      {"一零十", Numerals::kChinese, kNo},
      {"万", Numerals::kChinese, kNo},
      {"", Numerals::kAscii, kNo},
      {"1234567890123456789", Numerals::kAscii, kNo},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NumeralReader::Value(G(c.text), c.series), c.value) << c.text;
  }
}

TEST(NumeralReader, WritesAndReadsAgreeForEveryChapterNumber) {
  for (std::int64_t n = 1; n <= 20000; ++n) {
    for (const int series : {Numerals::kAscii, Numerals::kFullWidth, Numerals::kChinese}) {
      const std::string text = Numerals::Text(n, series);
      ASSERT_EQ(NumeralReader::RunEnd(text, 0, series), text.size()) << n;
      ASSERT_EQ(NumeralReader::Value(text, series), n) << n;
    }
  }
}

TEST(NumeralReader, RunStopsAtTheFirstCharacterOutsideItsSeries) {
  const std::string text = G("第一百二十回 3");
  EXPECT_EQ(NumeralReader::RunEnd(text, 2, Numerals::kChinese), 10u);
  EXPECT_EQ(NumeralReader::RunEnd(text, 2, Numerals::kAscii), 2u);
  std::size_t end = 0;
  std::int64_t value = 0;
  ASSERT_TRUE(NumeralReader::ReadAny(text, 13, end, value));
  EXPECT_EQ(value, 3);
  EXPECT_FALSE(NumeralReader::ReadAny(text, 0, end, value));
}

}  // namespace
}  // namespace sekato::engine

#include "headingmatcher.h"

#include <gtest/gtest.h>

#include "gbktext.h"
#include "numeralreader.h"
#include "testsupport.h"

namespace sekato::engine {
namespace {

using test::G;
using S = Numerals::Series;

HeadingMatcher Matcher(const std::string& utf8Keywords, S series = S::None, int titleMax = 20) {
  const auto keywords = HeadingMatcher::CutKeywords(GbkText::NormaliseKeywords(G(utf8Keywords)));
  return HeadingMatcher(keywords, series, titleMax);
}

TEST(HeadingMatcher, CutsKeywordsAtSpaces) {
  EXPECT_EQ(HeadingMatcher::CutKeywords(G("第") + "  " + G("章")),
            (std::vector<std::string>{G("第"), G("章")}));
  EXPECT_EQ(HeadingMatcher::CutKeywords(G("第?章")), (std::vector<std::string>{G("第?章")}));
  EXPECT_TRUE(HeadingMatcher::HasWildcard({G("第?章")}));
  EXPECT_FALSE(HeadingMatcher::HasWildcard({G("第？章")}));  // full-width ？ is a character
}

TEST(HeadingMatcher, KeywordsMustAppearInOrder) {
  auto m = Matcher("第  章");
  EXPECT_TRUE(m.IsHeading(G("第一章 回忆过去"), 0));
  EXPECT_FALSE(m.IsHeading(G("章程第一条"), 0));
  EXPECT_FALSE(m.IsHeading(G("正文"), 0));
  // A repeated keyword needs two separate occurrences.
  auto twice = Matcher("第 第");
  EXPECT_FALSE(twice.IsHeading(G("第一章"), 0));
  EXPECT_TRUE(twice.IsHeading(G("第一卷第一章"), 0));
  // ASCII letters match case-sensitively.
  auto latin = Matcher("Chapter");
  EXPECT_TRUE(latin.IsHeading("Chapter 1", 0));
  EXPECT_FALSE(latin.IsHeading("CHAPTER 1", 0));
}

TEST(HeadingMatcher, TitleLimitCountsTwoBytesACharacter) {
  auto m = Matcher("第  章");
  const std::string forty = G("第一章") + std::string(34, 'x');
  EXPECT_TRUE(m.IsHeading(forty, 0));
  EXPECT_FALSE(m.IsHeading(forty + "x", 0));
  auto zero = Matcher("第  章", S::None, 0);
  EXPECT_FALSE(zero.IsHeading(G("第一章"), 0));
}

TEST(HeadingMatcher, WildcardStandsForTheNextChapterNumber) {
  auto ascii = Matcher("第?章", S::Ascii);
  EXPECT_TRUE(ascii.IsHeading(G("第1章"), 0));
  EXPECT_FALSE(ascii.IsHeading(G("第1章"), 1));
  EXPECT_TRUE(ascii.IsHeading(G("第2章"), 1));
  auto chinese = Matcher("?、", S::Chinese);
  EXPECT_TRUE(chinese.IsHeading(G("一、开始"), 0));
  EXPECT_TRUE(chinese.IsHeading(G("十、转折"), 9));
  EXPECT_TRUE(chinese.IsHeading(G("一百、终"), 99));
  EXPECT_TRUE(chinese.IsHeading(G("一百零一、尾声"), 100));
  auto full = Matcher("第?回", S::FullWidth);
  EXPECT_TRUE(full.IsHeading(G("第１２回"), 11));
}

TEST(HeadingMatcher, SearchGoesOnAfterTheWholeNumberMatched) {
  // "?" then "一": the 一 inside 十一 is part of the number, not the second keyword.
  auto m = Matcher("? 一", S::Chinese);
  EXPECT_FALSE(m.IsHeading(G("十一章"), 10));
  EXPECT_TRUE(m.IsHeading(G("十一章一"), 10));
}

TEST(HeadingMatcher, WildcardTakesAWholeNumberInAnyAcceptedSpelling) {
  struct Case {
    const char* keywords;
    S series;
    const char* line;
    std::int64_t counter;
    bool heading;
  };
  const std::vector<Case> cases = {
      {"第?回", S::Chinese, "第一百一回 出陇上", 100, true},
      {"第?回", S::Chinese, "第一百十回 文鸯", 109, true},
      {"第?章", S::Chinese, "第两百章", 199, true},
      {"第?章", S::Chinese, "第一〇一章", 100, true},
      {"第?章", S::Chinese, "第壹佰章", 99, true},
      {"第?章", S::Chinese, "第一百章", 0, false},  // 第一 never inside 第一百
      {"第?章", S::Ascii, "第001章", 0, true},
      {"第?章", S::Ascii, "第10章", 0, false},
      {"第?章", S::FullWidth, "第０１章", 0, true},
      {"?、", S::Chinese, "十一、", 0, false},  // 一 inside 十一
      {"?、", S::Chinese, "序 十一、", 10, true},
      // Spoken short forms, either reading, where the chain expects it.
      {"第?章", S::Chinese, "第一百三章", 129, true},
      {"第?章", S::Chinese, "第一百三章", 102, true},
      {"第?章", S::Chinese, "第一百三章", 110, false},
      {"第?章", S::Chinese, "第一千二章", 1199, true},
      {"第?章", S::Chinese, "第三万五章", 34999, true},
      {"第?章", S::Chinese, "第一百零三章", 129, false},
      {"第?章", S::Chinese, "第參拾章", 29, true},
      {"第?章", S::Chinese, "第一萬章", 9999, true},
  };
  for (const auto& c : cases) {
    auto m = Matcher(c.keywords, c.series);
    EXPECT_EQ(m.IsHeading(G(c.line), c.counter), c.heading) << c.line;
  }
}

TEST(HeadingMatcher, HeadingsCarryTheNumberAfterTheirKeyword) {
  auto plain = Matcher("第 章", S::None);
  ASSERT_TRUE(plain.IsHeading(G("第十二章 回忆"), 0));
  EXPECT_EQ(plain.LastNumber(), 12);
  ASSERT_TRUE(plain.IsHeading(G("卷3 第章"), 0));
  EXPECT_EQ(plain.LastNumber(), 3);
  ASSERT_TRUE(plain.IsHeading(G("第章"), 0));
  EXPECT_EQ(plain.LastNumber(), NumeralReader::kUnreadable);
  auto wildcard = Matcher("第?章", S::Chinese);
  ASSERT_TRUE(wildcard.IsHeading(G("第一百一章"), 100));
  EXPECT_EQ(wildcard.LastNumber(), 101);
}

}  // namespace
}  // namespace sekato::engine

#include <gtest/gtest.h>

#include "markupgbk.h"

namespace sekato::controls {
namespace {

TEST(MarkupGbk, RoundTripsChineseText) {
  const std::string gbk = MarkupGbk::FromUtf8("[url=http://x/]岚溪论坛[/url]");
  EXPECT_EQ(gbk, "[url=http://x/]\xE1\xB0\xCF\xAA\xC2\xDB\xCC\xB3[/url]");
  EXPECT_EQ(MarkupGbk::ToUtf8(gbk), "[url=http://x/]岚溪论坛[/url]");
  EXPECT_EQ(MarkupGbk::ToUtf8(""), "");
}

TEST(MarkupGbk, BadInputKeepsTheRest) {
  EXPECT_EQ(MarkupGbk::FromUtf8("a😀b"), "a?b");
  EXPECT_EQ(MarkupGbk::FromUtf8("a\xFF" "b"), "a?b");  // not UTF-8
  EXPECT_EQ(MarkupGbk::FromUtf8("\xE4" "ab"), "?ab");   // a character cut short
  EXPECT_EQ(MarkupGbk::ToUtf8("a\xD6"), "a\xEF\xBF\xBD");  // lead byte cut off
  EXPECT_EQ(MarkupGbk::ToUtf8("\xFF" "a"), "\xEF\xBF\xBD" "a");
}

}  // namespace
}  // namespace sekato::controls

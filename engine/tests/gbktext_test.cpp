#include "gbktext.h"

#include <gtest/gtest.h>

#include "asciitext.h"
#include "pairscanner.h"
#include "sekato/gbkcodec.h"
#include "sekato/numberparse.h"
#include "sekato/sourcepath.h"
#include "testsupport.h"

namespace sekato::engine {
namespace {

using test::G;

TEST(GbkText, FindMatchesOnlyAtCharacterBoundaries) {
  // 第 is B5 DA, 章 is D5 C2: in "\xB5\xD5\xC2" the D5 is a trail byte.
  EXPECT_EQ(GbkText::Find("\xB5\xDA\xD5\xC2", "\xD5\xC2", 0), 2u);
  EXPECT_EQ(GbkText::Find("\xB5\xD5\xC2", "\xD5\xC2", 0), GbkText::npos);
  // An ASCII letter can be a trail byte (B5 41); it is not found there, but later it is.
  EXPECT_EQ(GbkText::Find("\xB5"
                          "AA",
                          "A", 0),
            2u);
  EXPECT_EQ(GbkText::Find(G("章程第一条"), G("第"), 0), 4u);
  EXPECT_EQ(GbkText::Find(G("章程第一条"), G("章"), 6), GbkText::npos);
  EXPECT_EQ(GbkText::Find("abc", "c", 4), GbkText::npos);
}

TEST(GbkText, BoundaryAtOrBelowNeverSplitsACharacter) {
  const std::string line = "a" + G("第") + "b";  // boundaries 0, 1, 3, 4
  EXPECT_EQ(GbkText::BoundaryAtOrBelow(line, 0), 0u);
  EXPECT_EQ(GbkText::BoundaryAtOrBelow(line, 1), 1u);
  EXPECT_EQ(GbkText::BoundaryAtOrBelow(line, 2), 1u);
  EXPECT_EQ(GbkText::BoundaryAtOrBelow(line, 3), 3u);
  EXPECT_EQ(GbkText::BoundaryAtOrBelow(line, 9), 4u);
  // A lone lead byte at the end counts as one character.
  EXPECT_EQ(GbkText::BoundaryAtOrBelow("a\xB5", 1), 1u);
  // Trail bytes 0x40-0x7E do not shift the walk (counting lead-range bytes would cut here).
  const std::string mixed = G("丂") + G("第");  // 丂 is 81 40
  EXPECT_EQ(GbkText::BoundaryAtOrBelow(mixed, 3), 2u);
}

TEST(GbkCodec, TextThatMustShowKeepsTheRestAroundABadCharacter) {
  const std::string gbk = GbkCodec::FromUtf8OrMark("[url=http://x/]岚溪论坛[/url]");
  EXPECT_EQ(gbk, "[url=http://x/]\xE1\xB0\xCF\xAA\xC2\xDB\xCC\xB3[/url]");
  EXPECT_EQ(GbkCodec::ToUtf8OrMark(gbk), "[url=http://x/]岚溪论坛[/url]");
  EXPECT_EQ(GbkCodec::ToUtf8OrMark(""), "");
  EXPECT_EQ(GbkCodec::FromUtf8OrMark("a😀b"), "a?b");
  EXPECT_EQ(GbkCodec::FromUtf8OrMark("a\xFF"
                                     "b"),
            "a?b");  // not UTF-8
  EXPECT_EQ(GbkCodec::FromUtf8OrMark("\xE4"
                                     "ab"),
            "?ab");                                             // a character cut short
  EXPECT_EQ(GbkCodec::ToUtf8OrMark("a\xD6"), "a\xEF\xBF\xBD");  // lead byte cut off
  EXPECT_EQ(GbkCodec::ToUtf8OrMark("\xFF"
                                   "a"),
            "\xEF\xBF\xBD"
            "a");
  EXPECT_FALSE(GbkCodec::FromUtf8("a😀b"));  // where nothing may be lost, nothing is given
}

TEST(GbkText, CleansFullWidthSpacesCharacterAware) {
  std::string line = G("　　第一章　") + " \t";
  GbkText::WidenFullWidthSpaces(line.data(), line.size());
  EXPECT_EQ(line, "    " + G("第一章") + "   \t");
  EXPECT_EQ(AsciiText::TrimRight(line), "    " + G("第一章"));
  // A1 A1 straddling two characters (xx A1 | A1 xx) is no full-width space.
  std::string straddle = "\xB0\xA1\xA1\xB0";
  GbkText::WidenFullWidthSpaces(straddle.data(), straddle.size());
  EXPECT_EQ(straddle, "\xB0\xA1\xA1\xB0");
  // In a run of lines each line starts at a character: a straddling pair after a line feed
  // is told from a real space, however the lines before it end.
  std::string run = "\xB0\r\n\xB0\xA1\xA1\xA1\xA1\xB0\r\n" + G("　x");
  GbkText::WidenFullWidthSpaces(run.data(), run.size());
  EXPECT_EQ(run, "\xB0\r\n\xB0\xA1  \xA1\xB0\r\n  x");
  EXPECT_EQ(AsciiText::Trim(" \t\v\f\r\nx \r\n"), "x");
}

TEST(GbkText, KeywordTextIsNormalisedBeforeCutting) {
  EXPECT_EQ(GbkText::NormaliseKeywords(G("　第　　章　")), G("第") + "    " + G("章"));
  EXPECT_EQ(GbkText::NormaliseKeywords(G("　 　")), "");
}

TEST(NumberParse, ReadsLikeAtoi) {
  EXPECT_EQ(ParseNumber("1000"), 1000);
  EXPECT_EQ(ParseNumber("  -7x"), -7);
  EXPECT_EQ(ParseNumber("+12"), 12);
  EXPECT_EQ(ParseNumber("1.5"), 1);
  EXPECT_EQ(ParseNumber("abc"), 0);
  EXPECT_EQ(ParseNumber(""), 0);
  EXPECT_EQ(ParseNumber("- 5"), 0);
  EXPECT_EQ(ParseNumber("99999999999999999999999"), INT64_MAX);
  EXPECT_EQ(ParseNumber("-99999999999999999999999"), -INT64_MAX);
}

TEST(SourcePath, BaseAndTitleIgnoreDotsInFolders) {
  EXPECT_EQ(SourcePath::Base("/books/novel.txt"), "/books/novel");
  EXPECT_EQ(SourcePath::Title("/books/novel.txt"), "novel");
  EXPECT_EQ(SourcePath::Base("/my.books/novel"), "");
  EXPECT_EQ(SourcePath::Title("/my.books/novel"), "novel");
  EXPECT_EQ(SourcePath::Folder("/my.books/novel.txt"), "/my.books");
  EXPECT_EQ(SourcePath::Folder("/novel.txt"), "/");
  EXPECT_EQ(SourcePath::Folder("novel.txt"), ".");
  EXPECT_EQ(SourcePath::FileName("/my.books/novel.txt"), "novel.txt");
  EXPECT_EQ(SourcePath::Base("/b/a.b.txt"), "/b/a.b");
  EXPECT_EQ(SourcePath::Title("/b/a.b.txt"), "a.b");
  EXPECT_EQ(SourcePath::Base("/b/.hidden"), "");
  EXPECT_EQ(SourcePath::Base("novel.txt"), "novel");
}

}  // namespace
}  // namespace sekato::engine

namespace sekato::engine {
namespace {

// Walks every character boundary: slow and obviously right.
std::size_t NaiveFind(std::string_view text, std::string_view needle, std::size_t from) {
  for (std::size_t pos = 0; pos < text.size();
       pos +=
       GbkText::IsLead(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size() ? 2 : 1) {
    if (pos >= from && text.substr(pos, needle.size()) == needle) return pos;
  }
  return GbkText::npos;
}

TEST(GbkText, FindAgreesWithACharacterWalkOnLongMixedText) {
  // Texts of every length around the 16-byte blocks the search works in, built from a few
  // bytes that form full-width spaces, straddling pairs, ASCII and trail bytes, line feeds.
  const std::string alphabet = "\xA1\xA1\xB0\xA1 a\x81\x40\n";
  unsigned seed = 7;
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    const std::size_t length = static_cast<std::size_t>(round % 70);
    for (std::size_t i = 0; i < length; ++i) {
      seed = seed * 1103515245u + 12345u;
      text += alphabet[(seed >> 16) % alphabet.size()];
    }
    for (const std::string_view needle : {"\xA1\xA1", "\xB0\xA1\xA1", "a", " a\x81"}) {
      for (std::size_t from : {std::size_t{0}, std::size_t{1}, length / 2, length}) {
        ASSERT_EQ(GbkText::Find(text, needle, from), NaiveFind(text, needle, from))
            << "round " << round << " from " << from;
      }
    }
    // Widening in place replaces exactly the full-width spaces a character walk finds.
    std::string widened = text;
    GbkText::WidenFullWidthSpaces(widened.data(), widened.size());
    std::string expected = text;
    for (std::size_t p = 0; (p = NaiveFind(text, "\xA1\xA1", p)) != GbkText::npos; p += 2) {
      expected[p] = expected[p + 1] = ' ';
    }
    ASSERT_EQ(widened, expected) << "round " << round;
    // The pair scan with and without wide vectors, against a plain loop.
    const auto* data = reinterpret_cast<const unsigned char*>(text.data());
    for (std::size_t from = 0; from + 1 < length; from += 5) {
      std::size_t expected = PairScanner::npos;
      for (std::size_t p = from; p + 1 < length; ++p) {
        if (data[p] == 0xA1 && data[p + 1] == 0xA1) {
          expected = p;
          break;
        }
      }
      ASSERT_EQ(PairScanner::Find(data, from, length - 2, 0xA1, 0xA1), expected) << round;
      ASSERT_EQ(PairScanner::FindPortable(data, from, length - 2, 0xA1, 0xA1), expected) << round;
    }
  }
}

}  // namespace
}  // namespace sekato::engine

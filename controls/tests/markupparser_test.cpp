#include "markupparser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "markuplabel.h"

namespace sekato::controls {
namespace {

constexpr MarkupColour kRed = MarkupRgb(255, 0, 0);

struct Seg {
  std::string text;
  std::string link;
  MarkupColour colour = 0;
  bool operator==(const Seg&) const = default;
};

void PrintTo(const Seg& seg, std::ostream* os) {
  *os << "{\"" << seg.text << "\" link \"" << seg.link << "\" colour " << std::hex << seg.colour
      << "}";
}

MarkupLabel Parse(const std::string& markup) {
  MarkupLabel label;
  label.m_strMarkup = markup;
  label.ParseMarkup();
  return label;
}

std::vector<Seg> Segments(const std::string& markup) {
  std::vector<Seg> out;
  for (const MarkupSegment& s : Parse(markup).m_segments) {
    out.push_back({s.strText, s.strLink, s.crText});
  }
  return out;
}

TEST(MarkupParser, PlainTextAndLinks) {
  EXPECT_EQ(Segments("abc"), (std::vector<Seg>{{"abc", "", 0}}));
  EXPECT_EQ(Segments("[url=T]abc[/url]"), (std::vector<Seg>{{"abc", "T", 0}}));
  EXPECT_EQ(Parse("[url=T]abc[/url]").m_strPlain, "abc");
  EXPECT_EQ(Segments("[url]T[/url]"), (std::vector<Seg>{{"T", "T", 0}}));
  EXPECT_EQ(Segments("go [url=http://x/?a=1]there[/url] now"),
            (std::vector<Seg>{{"go ", "", 0}, {"there", "http://x/?a=1", 0}, {" now", "", 0}}));
  // "]" and "=" are literal outside a tag, and so is a CR without its LF.
  EXPECT_EQ(Segments("a]b=c"), (std::vector<Seg>{{"a]b=c", "", 0}}));
  EXPECT_EQ(Segments("a\rb"), (std::vector<Seg>{{"a\rb", "", 0}}));
}

TEST(MarkupParser, ParsedSegmentsStartIdle) {
  for (const MarkupSegment& s : Parse("[url=T]a\r\nb[/url]c").m_segments) {
    EXPECT_EQ(s.bHasCapture, 0);
    EXPECT_EQ(s.bVisited, 0);
    EXPECT_EQ(s.bHot, 0);
    EXPECT_EQ(s.rcText, MarkupRect{});
  }
}

TEST(MarkupParser, Colours) {
  EXPECT_EQ(Segments("x[color=red]y[/color]z"),
            (std::vector<Seg>{{"x", "", 0}, {"y", "", kRed}, {"z", "", 0}}));
  EXPECT_EQ(Segments("[color=red][url=T]a[/url][/color]"), (std::vector<Seg>{{"a", "T", kRed}}));
  // Colours do not nest: a new name replaces the current one.
  EXPECT_EQ(Segments("[color=red]a[color=blue]b[/color]c"),
            (std::vector<Seg>{{"a", "", kRed}, {"b", "", MarkupRgb(0, 0, 255)}, {"c", "", 0}}));
}

TEST(MarkupParser, ColourTable) {
  const MarkupLabel label;
  EXPECT_EQ(label.ColourFromName(""), label.m_crText);
  EXPECT_EQ(label.ColourFromName("red"), 0x0000FFu);
  EXPECT_EQ(label.ColourFromName("blue"), 0xFF0000u);
  EXPECT_EQ(label.ColourFromName("purple"), 0xFF0080u);  // not the visited-link purple
  EXPECT_EQ(label.ColourFromName("brown"), 0x2A2A80u);
  EXPECT_EQ(label.ColourFromName("tan"), 0x2D52A0u);
  EXPECT_EQ(label.ColourFromName("pink"), 0xCBC0FFu);
  EXPECT_EQ(label.ColourFromName("syan"), 0xFFFF00u);
  // Exact and whole: case, prefixes and unknown names read as ordinary text.
  EXPECT_EQ(label.ColourFromName("Red"), label.m_crText);
  EXPECT_EQ(label.ColourFromName("re"), label.m_crText);
  EXPECT_EQ(label.ColourFromName("cyan"), label.m_crText);
}

TEST(MarkupParser, LineBreaks) {
  const MarkupLabel label = Parse("a\r\nb");
  EXPECT_EQ(Segments("a\r\nb"), (std::vector<Seg>{{"a", "", 0}, {"\r\n", "", 0}, {"b", "", 0}}));
  EXPECT_EQ(label.m_strPlain, "ab");
  EXPECT_EQ(Segments("\r\nx"), (std::vector<Seg>{{"\r\n", "", 0}, {"x", "", 0}}));
  // A link broken over two lines stays one run of three segments.
  EXPECT_EQ(Segments("[url=T]a\r\nb[/url]"),
            (std::vector<Seg>{{"a", "T", 0}, {"\r\n", "T", 0}, {"b", "T", 0}}));
  // Inside a tag the break still counts, and the tag goes on reading after it.
  EXPECT_EQ(Segments("[col\r\nor=red]x"), (std::vector<Seg>{{"\r\n", "", 0}, {"x", "", kRed}}));
  // The line break carries the colour current at that point.
  EXPECT_EQ(Segments("[color=red]\r\n[/color]"), (std::vector<Seg>{{"\r\n", "", kRed}}));
}

TEST(MarkupParser, MalformedMarkup) {
  EXPECT_TRUE(Segments("").empty());
  EXPECT_TRUE(Segments("[URL=T]a[/URL]").empty());
  EXPECT_TRUE(Segments("[b]hello").empty());
  EXPECT_TRUE(Segments("[b]hello[/url]").empty());
  EXPECT_EQ(Segments("[url=T]abc"), (std::vector<Seg>{{"abc", "", 0}}));
  EXPECT_EQ(Segments("[color=red]abc"), (std::vector<Seg>{{"abc", "", kRed}}));
  EXPECT_EQ(Segments("ab[color=red"), (std::vector<Seg>{{"ab", "", 0}}));
  EXPECT_EQ(Segments("ab[url=T"), (std::vector<Seg>{{"ab", "", 0}}));
  // A partly read tag drops what does not continue it.
  EXPECT_EQ(Segments("[uxyrl=T]a[/url]"), (std::vector<Seg>{{"a", "T", 0}}));
  // The markup ends at its first zero byte.
  EXPECT_EQ(Segments(std::string("ab\0cd", 5)), (std::vector<Seg>{{"ab", "", 0}}));
}

TEST(MarkupParser, WorksOnUtf8Text) {
  EXPECT_EQ(Segments("中"), (std::vector<Seg>{{"中", "", 0}}));
  // No byte of a multi-byte character is ASCII: 乕 (E4 B9 95) and U+20000 (F0 A0 80 80) never
  // open or end a tag, in text, in a target or in a colour name.
  EXPECT_EQ(Segments("a乕[url=T]b[/url]"), (std::vector<Seg>{{"a乕", "", 0}, {"b", "T", 0}}));
  EXPECT_EQ(Segments("[url=http://x/论坛\U00020000]岚溪\U00020000[/url]"),
            (std::vector<Seg>{{"岚溪\U00020000", "http://x/论坛\U00020000", 0}}));
  EXPECT_EQ(Segments("[url]论坛[/url]"), (std::vector<Seg>{{"论坛", "论坛", 0}}));
  EXPECT_EQ(Segments("[color=红]x[/color]"), (std::vector<Seg>{{"x", "", 0}}));
  const MarkupLabel label = Parse("[url=T]中文[/url]\r\n\U00020000");
  EXPECT_EQ(label.m_strPlain, "中文\U00020000");
  // Bytes that are not UTF-8 pass through as they are.
  EXPECT_EQ(Segments("a\xFF\x80[url=T]\xC0"
                     "b[/url]"),
            (std::vector<Seg>{{"a\xFF\x80", "", 0},
                              {"\xC0"
                               "b",
                               "T", 0}}));
}

TEST(MarkupParser, ReparseStartsOver) {
  MarkupLabel label = Parse("[url=T]a[/url]");
  label.m_segments.front().bVisited = 1;
  label.m_bOverLink = 1;
  label.m_strMarkup = "b";
  label.ParseMarkup();
  ASSERT_EQ(label.m_segments.size(), 1u);
  EXPECT_EQ(label.m_segments.front().bVisited, 0);
  EXPECT_EQ(label.m_strPlain, "b");
  EXPECT_EQ(label.m_bOverLink, 0);
}

}  // namespace
}  // namespace sekato::controls

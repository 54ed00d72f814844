#include "markuplayout.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "markupfakes.h"
#include "markuplabel.h"

namespace sekato::controls {
namespace {

using testing::FakeCanvas;

MarkupLabel Label(const std::string& markup, std::uint32_t style = 0) {
  MarkupLabel label;
  label.m_dwStyle = style;
  label.m_strMarkup = markup;
  label.ParseMarkup();
  return label;
}

struct Placed {
  int x;
  int y;
  std::string text;
  bool operator==(const Placed&) const = default;
};

void PrintTo(const Placed& p, std::ostream* os) {
  *os << "(" << p.x << "," << p.y << " \"" << p.text << "\")";
}

std::vector<Placed> Paint(MarkupLabel& label, int width, int height = 100, bool enabled = true) {
  FakeCanvas canvas;
  MarkupLayout::Paint(label, canvas, width, height, enabled);
  std::vector<Placed> placed;
  for (const auto& d : canvas.draws) placed.push_back({d.x, d.y, d.text});
  return placed;
}

std::vector<std::string> Texts(const MarkupLabel& label) {
  std::vector<std::string> texts;
  for (const MarkupSegment& s : label.m_segments) texts.push_back(s.strText);
  return texts;
}

TEST(MarkupLayout, OneLineFollowsTheAlignment) {
  MarkupLabel left = Label("[url=T]ab[/url]cd");
  EXPECT_EQ(Paint(left, 100), (std::vector<Placed>{{0, 0, "ab"}, {20, 0, "cd"}}));
  EXPECT_EQ(left.m_segments.front().rcText, (MarkupRect{0, 0, 20, 16}));

  MarkupLabel centred = Label("[url=T]ab[/url]cd", MarkupLabel::kSsCenter);
  EXPECT_EQ(Paint(centred, 100), (std::vector<Placed>{{30, 0, "ab"}, {50, 0, "cd"}}));
  MarkupLabel right = Label("[url=T]ab[/url]cd", MarkupLabel::kSsRight);
  EXPECT_EQ(Paint(right, 100), (std::vector<Placed>{{60, 0, "ab"}, {80, 0, "cd"}}));
  MarkupLabel middle = Label("abcd", MarkupLabel::kSsCenterImage);
  EXPECT_EQ(Paint(middle, 100, 40), (std::vector<Placed>{{0, 12, "abcd"}}));
}

TEST(MarkupLayout, LineBreakStartsAtTheLeftEdge) {
  MarkupLabel label = Label("ab\r\ncd", MarkupLabel::kSsCenter);
  EXPECT_EQ(Paint(label, 100),
            (std::vector<Placed>{{30, 0, "ab"}, {0, 16, "\r\n"}, {0, 16, "cd"}}));
  EXPECT_EQ(label.m_segments.back().rcText, (MarkupRect{0, 16, 20, 32}));
}

TEST(MarkupLayout, WrappingSplitsSegmentsAndRepaintsTheSameLines) {
  MarkupLabel label = Label("abcdefghijklmnopqrstuvwxy", MarkupLabel::kSsCenter);
  // A prefix must measure strictly less than the room left: nine bytes in 100 px.
  const std::vector<Placed> first = Paint(label, 100);
  EXPECT_EQ(first,
            (std::vector<Placed>{{0, 0, "abcdefghi"}, {0, 16, "jklmnopqr"}, {15, 32, "stuvwxy"}}));
  EXPECT_EQ(Texts(label), (std::vector<std::string>{"abcdefghi", "jklmnopqr", "stuvwxy"}));
  EXPECT_EQ(Paint(label, 100), first);
  EXPECT_EQ(label.m_segments.size(), 3u);

  // The pieces of a split link keep its target and flags.
  MarkupLabel link = Label("[url=T]abcdefghijkl[/url]");
  link.m_segments.front().bVisited = 1;
  Paint(link, 100);
  ASSERT_EQ(link.m_segments.size(), 2u);
  EXPECT_EQ(link.m_segments.back().strLink, "T");
  EXPECT_EQ(link.m_segments.back().bVisited, 1);
}

TEST(MarkupLayout, SegmentThatCannotStartOnTheLineMovesWhole) {
  MarkupLabel label = Label("abcdefgh[url=T]中x[/url]");
  EXPECT_EQ(Paint(label, 95), (std::vector<Placed>{{0, 0, "abcdefgh"}, {0, 16, "中x"}}));
  EXPECT_EQ(label.m_segments.size(), 2u);
}

// The fake measures 10 px a byte, so a prefix that cuts a character short always measures
// narrower than the whole one and would be taken if the layout counted bytes.
struct SplitCase {
  const char* name;
  const char* markup;
  int width;
  std::vector<std::string> texts;
};

TEST(MarkupLayout, SplitsOnlyBetweenUtf8Characters) {
  const std::vector<SplitCase> cases = {
      // 20 px left after a tab: two bytes would fit, but they would cut 中 (E4 B8 AD) short.
      {"three-byte after tab", "\t中", 25, {"\t", "中"}},
      {"three-byte at line end", "ab中", 35, {"ab", "中"}},
      // U+20000 is F0 A0 80 80: its last three bytes are all continuation bytes.
      {"four-byte", "a\U00020000\U00020000", 45, {"a", "\U00020000", "\U00020000"}},
      {"four-byte then three-byte", "\U00020000中文", 65, {"\U00020000", "中文"}},
      // A stray continuation byte is not a character of its own: it stays with the byte before.
      {"stray continuation",
       "ab\x80\x80"
       "c",
       45,
       {"ab\x80\x80", "c"}},
  };
  for (const SplitCase& c : cases) {
    SCOPED_TRACE(c.name);
    MarkupLabel label = Label(c.markup);
    Paint(label, c.width);
    EXPECT_EQ(Texts(label), c.texts);
  }
}

TEST(MarkupLayout, WrappedLinkKeepsMultiByteCharactersWhole) {
  // "a" takes 10 px; the link (中 then U+20000, 70 px) has 55 px left: only 中 fits.
  MarkupLabel label = Label("a[url=T]中\U00020000[/url]");
  EXPECT_EQ(Paint(label, 65),
            (std::vector<Placed>{{0, 0, "a"}, {10, 0, "中"}, {0, 16, "\U00020000"}}));
  std::vector<std::string> links;
  for (const MarkupSegment& s : label.m_segments) links.push_back(s.strLink);
  EXPECT_EQ(links, (std::vector<std::string>{"", "T", "T"}));
  EXPECT_EQ(label.m_segments.back().rcText, (MarkupRect{0, 16, 40, 32}));
}

// Every width from none to wider than the text: painting, and painting again over the pieces
// the first paint left, never loses, reorders or cuts a character.
class MarkupLayoutWidth : public ::testing::TestWithParam<std::tuple<const char*, int>> {};

bool StartsInsideCharacter(const std::string& text) {
  return !text.empty() && (static_cast<unsigned char>(text.front()) & 0xC0u) == 0x80u;
}

TEST_P(MarkupLayoutWidth, PiecesAreWholeCharactersInOrder) {
  const auto [markup, width] = GetParam();
  MarkupLabel label = Label(markup, MarkupLabel::kSsCenter);
  for (int paint = 1; paint <= 2; ++paint) {
    SCOPED_TRACE(paint);
    Paint(label, width);
    std::string joined;
    for (const MarkupSegment& s : label.m_segments) {
      EXPECT_FALSE(StartsInsideCharacter(s.strText)) << s.strText;
      if (!s.IsLineBreak()) joined += s.strText;
    }
    EXPECT_EQ(joined, label.m_strPlain);
  }
}

INSTANTIATE_TEST_SUITE_P(
    MixedText, MarkupLayoutWidth,
    ::testing::Combine(::testing::Values("第一章 风起\U00020000云涌",
                                         "[url=T]\U00020000中[/url]a\U00020001b",
                                         "x\r\n[color=red]红\U00020000[/color]\xE4\x80y"),
                       ::testing::Range(0, 130, 10)));

TEST(MarkupLayout, CentredBlockTallerThanTheLabelStartsAboveIt) {
  // 250 px in 100 px: estimated 64 px high in a label 10 px high.
  EXPECT_EQ(MarkupLayout::EstimateHeight(250, 16, 100), 64);
  MarkupLabel label = Label("abcdefghijklmnopqrstuvwxy", MarkupLabel::kSsCenterImage);
  const std::vector<Placed> placed = Paint(label, 100, 10);
  ASSERT_EQ(placed.size(), 3u);
  EXPECT_EQ(placed[0].y, -27);
  EXPECT_EQ(placed[1].y, -10);  // -27 + 16 lands one pixel lower while above the top
  EXPECT_EQ(placed[2].y, 6);
}

TEST(MarkupLayout, ZeroWidthLabelPutsEachSegmentOnItsOwnLine) {
  EXPECT_EQ(MarkupLayout::EstimateHeight(250, 16, 0), 16);
  MarkupLabel label = Label("ab[url=T]cd[/url]");
  EXPECT_EQ(Paint(label, 0), (std::vector<Placed>{{0, 16, "ab"}, {0, 32, "cd"}}));
}

TEST(MarkupLayout, ColoursAndUnderline) {
  MarkupLabel label = Label("[color=red]a[/color][url=T]b[/url][url=U]c[/url][url=V]d[/url]");
  auto pos = label.m_segments.begin();
  ++pos;
  (++pos)->bHot = 1;
  (++pos)->bVisited = 1;
  pos->bHot = 1;  // a visited link stays visited under the pointer

  FakeCanvas canvas;
  MarkupLayout::Paint(label, canvas, 100, 20, true);
  ASSERT_EQ(canvas.draws.size(), 4u);
  EXPECT_EQ(canvas.draws[0].colour, MarkupRgb(255, 0, 0));
  EXPECT_FALSE(canvas.draws[0].underline);
  EXPECT_EQ(canvas.draws[1].colour, label.m_crLink);
  EXPECT_TRUE(canvas.draws[1].underline);
  EXPECT_EQ(canvas.draws[2].colour, label.m_crHover);
  EXPECT_EQ(canvas.draws[3].colour, label.m_crVisited);

  FakeCanvas disabled;
  MarkupLayout::Paint(label, disabled, 100, 20, false);
  for (const auto& d : disabled.draws) EXPECT_EQ(d.colour, MarkupRgb(192, 192, 192));
  EXPECT_TRUE(disabled.draws[1].underline);
}

}  // namespace
}  // namespace sekato::controls

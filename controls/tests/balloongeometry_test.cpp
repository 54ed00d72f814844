#include "balloongeometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace sekato::controls {
namespace {

bool Contains(const std::vector<BalloonSpan>& region, int x, int y) {
  return std::any_of(region.begin(), region.end(), [x, y](const BalloonSpan& s) {
    return s.y == y && s.left <= x && x < s.right;
  });
}

const BalloonSpan* Row(const std::vector<BalloonSpan>& region, int y) {
  const auto it =
      std::find_if(region.begin(), region.end(), [y](const BalloonSpan& s) { return s.y == y; });
  return it == region.end() ? nullptr : &*it;
}

TEST(BalloonGeometry, TwoHundredByTwentySixTextGivesTheKnownBalloon) {
  const BalloonGeometry g({200, 26}, std::nullopt);
  EXPECT_EQ(g.BodyWidth(), 224);
  EXPECT_EQ(g.BodyHeight(), 46);
  EXPECT_EQ(g.WindowSize(), (BalloonSize{224, 71}));
  const auto stem = g.Stem();
  EXPECT_EQ(stem[0], (BalloonPoint{212, 36}));
  EXPECT_EQ(stem[1], (BalloonPoint{212, 61}));
  EXPECT_EQ(stem[2], (BalloonPoint{187, 36}));
  EXPECT_EQ(g.TextOrigin(), (BalloonPoint{12, 10}));

  const BalloonPoint topLeft = g.TopLeftFor({500, 400});
  EXPECT_EQ(topLeft, (BalloonPoint{288, 339}));
  EXPECT_EQ(topLeft.x + g.StemPoint().x, 500);
  EXPECT_EQ(topLeft.y + g.StemPoint().y, 400);
  // Near the screen's top-left corner nothing pulls the tip back on screen.
  EXPECT_EQ(g.TopLeftFor({5, 5}), (BalloonPoint{-207, -56}));
}

TEST(BalloonGeometry, IconWidensTheBodyAndOnlyATallerIconRaisesIt) {
  const BalloonGeometry withIcon({200, 26}, BalloonSize{32, 32});
  EXPECT_EQ(withIcon.BodyWidth(), 261);
  EXPECT_EQ(withIcon.BodyHeight(), 46);  // 32 is below 26 + 20
  EXPECT_EQ(BalloonGeometry::IconOrigin(), (BalloonPoint{12, 10}));
  EXPECT_EQ(withIcon.TextOrigin(), (BalloonPoint{49, 10}));

  // The icon is compared with the text height plus both margins and gets no margin itself.
  EXPECT_EQ(BalloonGeometry({200, 26}, BalloonSize{32, 47}).BodyHeight(), 47);
  EXPECT_EQ(BalloonGeometry({200, 26}, BalloonSize{32, 46}).BodyHeight(), 46);

  // A set icon of no size still leaves the gap before the text.
  EXPECT_EQ(BalloonGeometry({200, 26}, BalloonSize{0, 0}).BodyWidth(), 229);
}

TEST(BalloonGeometry, ShapeIsRoundedBodyAndStemEndingAboveLeftOfThePoint) {
  const BalloonGeometry g({200, 26}, std::nullopt);
  const auto region = g.Region();

  // Rounded corners: the outermost rows are cut most, the middle rows not at all, and the
  // top and bottom corners mirror each other.
  ASSERT_NE(Row(region, 0), nullptr);
  EXPECT_EQ(*Row(region, 0), (BalloonSpan{0, 3, 221}));
  EXPECT_EQ(*Row(region, 23), (BalloonSpan{23, 0, 224}));
  for (int y = 0; y < 5; ++y) {
    EXPECT_EQ(Row(region, y)->left, Row(region, 45 - y)->left) << "row " << y;
    EXPECT_GE(Row(region, y)->left, Row(region, y + 1)->left) << "row " << y;
  }

  // Below the body only the stem: it narrows by one pixel a row to a single pixel just
  // above and left of its point, and the point itself and the 10 rows under it stay out.
  EXPECT_EQ(*Row(region, 46), (BalloonSpan{46, 197, 212}));
  EXPECT_EQ(*Row(region, 60), (BalloonSpan{60, 211, 212}));
  EXPECT_FALSE(Contains(region, 212, 61));
  EXPECT_FALSE(Contains(region, 212, 60));
  for (int y = 61; y < 71; ++y) EXPECT_EQ(Row(region, y), nullptr) << "row " << y;
  EXPECT_EQ(region.back().y, 60);
}

TEST(BalloonGeometry, NarrowTextStemReachesLeftOfTheWindowAndIsCutThere) {
  const BalloonGeometry g({5, 13}, std::nullopt);
  ASSERT_EQ(g.BodyWidth(), 29);
  EXPECT_EQ(g.Stem()[2], (BalloonPoint{-8, 23}));
  const auto region = g.Region();
  for (const BalloonSpan& s : region) {
    EXPECT_GE(s.left, 0) << "row " << s.y;
    EXPECT_LE(s.right, 29) << "row " << s.y;
    EXPECT_LT(s.left, s.right) << "row " << s.y;
  }
  // The stem fills the bottom corner the body's rounding leaves out.
  EXPECT_TRUE(Contains(region, 0, 31));
  EXPECT_FALSE(Contains(region, 0, 32));
  // Its point still ends above-left of where the pointer is.
  EXPECT_EQ(*Row(region, 47), (BalloonSpan{47, 16, 17}));
  EXPECT_EQ(g.TopLeftFor({100, 100}), (BalloonPoint{83, 52}));
}

TEST(BalloonGeometry, TextExtentIsWidestLineByLineCount) {
  const auto width = [](std::string_view line) { return 7 * static_cast<int>(line.size()); };
  EXPECT_EQ(BalloonGeometry::MeasureText("abc", width, 13), (BalloonSize{21, 13}));
  EXPECT_EQ(BalloonGeometry::MeasureText("ab\nabcdef\nx", width, 13), (BalloonSize{42, 39}));
  // Every line feed starts a line, even the last, and an empty text is one empty line.
  EXPECT_EQ(BalloonGeometry::MeasureText("abc\n", width, 13), (BalloonSize{21, 26}));
  EXPECT_EQ(BalloonGeometry::MeasureText("\n\n", width, 13), (BalloonSize{0, 39}));
  EXPECT_EQ(BalloonGeometry::MeasureText("", width, 13), (BalloonSize{0, 13}));

  // k lines make a body k line-heights plus 20 high and the widest line plus 24 wide.
  std::string text;
  for (int i = 1; i <= 13; ++i) text += std::string(static_cast<std::size_t>(i % 5), 'x') + "\n";
  text.pop_back();
  const BalloonGeometry g(BalloonGeometry::MeasureText(text, width, 13), std::nullopt);
  EXPECT_EQ(g.BodyHeight(), 13 * 13 + 20);
  EXPECT_EQ(g.BodyWidth(), 4 * 7 + 24);
}

}  // namespace
}  // namespace sekato::controls

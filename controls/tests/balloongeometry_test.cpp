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
  EXPECT_EQ(BalloonGeometry({200, 26}, std::nullopt).IconOrigin(), (BalloonPoint{12, 10}));
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

namespace sekato::controls {
namespace {

// A tip of 224 × 71 at the edges and corners of two screens: it stays inside the available
// area and its stem on the anchor, turned as the room asks; only an anchor closer to the
// edge than the stem's inset moves the tip off it.
struct PlaceCase {
  const char* what;
  BalloonRect area;
  BalloonPoint anchor;
  bool stemUp;
  bool stemLeft;
  bool onAnchor;
};

class BalloonPlacement : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(BalloonPlacement, StaysInsideTheAreaWithTheStemOnTheAnchor) {
  const PlaceCase& c = GetParam();
  BalloonGeometry g({200, 26}, std::nullopt);
  const auto placement = g.Place(c.anchor, c.area);
  EXPECT_EQ(placement.orientation.stemUp, c.stemUp);
  EXPECT_EQ(placement.orientation.stemLeft, c.stemLeft);
  g.SetOrientation(placement.orientation);
  // Every pixel of the shape (the window's rows past the stem's point are not).
  for (const BalloonSpan& row : g.Region()) {
    const int y = placement.topLeft.y + row.y;
    EXPECT_GE(placement.topLeft.x + row.left, c.area.x) << row.y;
    EXPECT_LE(placement.topLeft.x + row.right, c.area.x + c.area.width) << row.y;
    EXPECT_TRUE(y >= c.area.y && y < c.area.y + c.area.height) << row.y;
  }
  const BalloonPoint stem{placement.topLeft.x + g.StemPoint().x,
                          placement.topLeft.y + g.StemPoint().y};
  EXPECT_EQ(stem == c.anchor, c.onAnchor) << stem.x << "," << stem.y;
}

constexpr BalloonRect kSmall{0, 0, 1024, 768};
constexpr BalloonRect kLarge{0, 0, 2560, 1600};
// A panel along the top and one on the left: the available area starts past them.
constexpr BalloonRect kPanels{64, 32, 2496, 1568};

INSTANTIATE_TEST_SUITE_P(
    EdgesAndCorners, BalloonPlacement,
    ::testing::Values(
        PlaceCase{"1024 middle", kSmall, {512, 384}, false, false, true},
        PlaceCase{"1024 top edge", kSmall, {512, 20}, true, false, true},
        PlaceCase{"1024 left edge", kSmall, {40, 384}, false, true, true},
        PlaceCase{"1024 top-left", kSmall, {40, 20}, true, true, true},
        PlaceCase{"1024 top-right", kSmall, {1000, 20}, true, false, true},
        PlaceCase{"1024 bottom-left", kSmall, {40, 760}, false, true, true},
        PlaceCase{"1024 bottom-right", kSmall, {1010, 760}, false, false, true},
        PlaceCase{
            "1024 right edge, closer than the inset", kSmall, {1020, 384}, false, false, false},
        PlaceCase{"1024 corner pixel", kSmall, {0, 0}, true, true, false},
        PlaceCase{"2560 middle", kLarge, {1280, 800}, false, false, true},
        PlaceCase{"2560 top edge", kLarge, {1280, 3}, true, false, true},
        PlaceCase{"2560 left edge", kLarge, {12, 800}, false, true, true},
        PlaceCase{"2560 bottom-right", kLarge, {2540, 1590}, false, false, true},
        PlaceCase{"2560 top-right", kLarge, {2540, 10}, true, false, true},
        PlaceCase{"2560 bottom-left", kLarge, {30, 1590}, false, true, true},
        PlaceCase{"panels top-left", kPanels, {80, 40}, true, true, true},
        PlaceCase{"panels just inside the top", kPanels, {1000, 100}, false, false, true}),
    [](const auto& info) {
      std::string name = info.param.what;
      for (char& ch : name) {
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
      }
      return name;
    });

// Turned, the shape is the plain one mirrored, and text keeps to the body.
TEST(BalloonGeometry, TurnedShapesMirrorThePlainOne) {
  const BalloonGeometry plain({200, 26}, std::nullopt);
  const auto rows = plain.Region();
  const int width = plain.WindowSize().cx;
  const int height = plain.WindowSize().cy;
  BalloonGeometry turned = plain;
  turned.SetOrientation({true, true});
  const auto mirrored = turned.Region();
  ASSERT_EQ(mirrored.size(), rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const BalloonSpan& row = rows[rows.size() - 1 - i];
    EXPECT_EQ(mirrored[i], (BalloonSpan{height - 1 - row.y, width - row.right, width - row.left}));
  }
  EXPECT_EQ(turned.StemPoint(), (BalloonPoint{11, 9}));
  EXPECT_EQ(turned.TextOrigin(), (BalloonPoint{12, 35}));
  EXPECT_EQ(turned.Stem()[1], turned.StemPoint());
  // An empty area sets no bounds.
  EXPECT_EQ(plain.Place({5, 5}, {}).topLeft, (BalloonPoint{-207, -56}));
}

}  // namespace
}  // namespace sekato::controls

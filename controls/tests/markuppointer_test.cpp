#include "markuppointer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "markupfakes.h"
#include "markuplabel.h"
#include "markuplayout.h"

namespace sekato::controls {
namespace {

using testing::FakeCanvas;
using testing::FakeHost;

// Parses `markup` and lays it out 100 px wide, as the first paint does.
MarkupLabel Painted(const std::string& markup) {
  MarkupLabel label;
  label.m_strMarkup = markup;
  label.ParseMarkup();
  FakeCanvas canvas;
  MarkupLayout::Paint(label, canvas, 100, 50, true);
  return label;
}

std::vector<const MarkupSegment*> Segs(const MarkupLabel& label) {
  std::vector<const MarkupSegment*> segs;
  for (const MarkupSegment& s : label.m_segments) segs.push_back(&s);
  return segs;
}

// A link wrapped into "abcdefghi" (0,0)-(90,16) and "jkl" (0,16)-(30,32), then plain " x".
constexpr const char* kWrappedLink = "[url=T]abcdefghijkl[/url] x";
constexpr MarkupPoint kOnFirstPiece{5, 5};
constexpr MarkupPoint kOnSecondPiece{5, 20};
constexpr MarkupPoint kOnPlain{45, 20};
constexpr MarkupPoint kNowhere{95, 45};

TEST(MarkupPointer, HoverLightsTheWholeRunAndHandsTheCaptureOver) {
  MarkupLabel label = Painted(kWrappedLink);
  FakeHost host;
  const auto s = Segs(label);
  ASSERT_EQ(s.size(), 3u);

  MarkupPointer::OnMouseMove(label, host, kOnSecondPiece);
  EXPECT_TRUE(host.captured);
  EXPECT_EQ(label.m_bOverLink, 1);
  EXPECT_EQ(s[0]->bHot, 1);
  EXPECT_EQ(s[1]->bHot, 1);
  EXPECT_EQ(s[1]->bHasCapture, 1);
  EXPECT_EQ(host.updatesNow, 1);

  // To the earlier piece: the capture passes to it within the same move.
  MarkupPointer::OnMouseMove(label, host, kOnFirstPiece);
  EXPECT_EQ(host.releases, 0);
  EXPECT_EQ(s[0]->bHasCapture, 1);
  EXPECT_EQ(s[1]->bHasCapture, 0);
  EXPECT_EQ(s[1]->bHot, 1);

  // To the later piece: given back in this move, taken again at the next.
  MarkupPointer::OnMouseMove(label, host, kOnSecondPiece);
  EXPECT_FALSE(host.captured);
  EXPECT_EQ(label.m_bOverLink, 0);
  EXPECT_EQ(s[0]->bHot + s[1]->bHot, 0);
  MarkupPointer::OnMouseMove(label, host, kOnSecondPiece);
  EXPECT_TRUE(host.captured);
  EXPECT_EQ(s[1]->bHasCapture, 1);

  // Staying on the later piece keeps the whole run lit and repaints nothing.
  const int updates = host.updatesNow;
  MarkupPointer::OnMouseMove(label, host, MarkupPoint{15, 21});
  EXPECT_EQ(host.updatesNow, updates);
  EXPECT_EQ(s[0]->bHot, 1);
  EXPECT_EQ(s[1]->bHot, 1);
  // Plain text never takes the capture.
  MarkupPointer::OnMouseMove(label, host, kOnPlain);
  MarkupPointer::OnMouseMove(label, host, kNowhere);
  EXPECT_FALSE(host.captured);
  EXPECT_EQ(label.m_bOverLink, 0);
  for (const MarkupSegment* seg : s) EXPECT_EQ(seg->bHot + seg->bHasCapture, 0);
}

TEST(MarkupPointer, MovingToAnEarlierDifferentLinkKeepsTheCapture) {
  MarkupLabel label = Painted("[url=A]ab[/url][url=B]cd[/url]");
  FakeHost host;
  const auto s = Segs(label);
  MarkupPointer::OnMouseMove(label, host, MarkupPoint{25, 5});  // over B
  MarkupPointer::OnMouseMove(label, host, MarkupPoint{5, 5});   // over A
  EXPECT_TRUE(host.captured);
  EXPECT_EQ(label.m_bOverLink, 1);
  EXPECT_EQ(s[0]->bHasCapture, 1);
  EXPECT_EQ(s[1]->bHasCapture + s[1]->bHot, 0);
  // And leaving A still puts everything out.
  MarkupPointer::OnMouseMove(label, host, kNowhere);
  EXPECT_FALSE(host.captured);
  EXPECT_EQ(label.m_bOverLink, 0);
  EXPECT_EQ(s[0]->bHot, 0);
}

TEST(MarkupPointer, VisitedLinkWaitsForTheNormalRepaint) {
  MarkupLabel label = Painted("[url=T]ab[/url]");
  label.m_segments.front().bVisited = 1;
  FakeHost host;
  MarkupPointer::OnMouseMove(label, host, MarkupPoint{5, 5});
  EXPECT_TRUE(host.captured);
  EXPECT_EQ(host.updatesNow, 0);
  EXPECT_FALSE(host.invalidated.empty());
}

TEST(MarkupPointer, ClickOpensAndMarksTheRun) {
  for (const MarkupPoint p : {kOnFirstPiece, kOnSecondPiece}) {
    MarkupLabel label = Painted(kWrappedLink);
    FakeHost host;
    MarkupPointer::OnLButtonUp(label, host, p);
    EXPECT_EQ(host.opened, std::vector<std::string>{"T"});
    EXPECT_EQ(label.m_strLink, "T");
    const auto s = Segs(label);
    EXPECT_EQ(s[0]->bVisited, 1);
    EXPECT_EQ(s[1]->bVisited, 1);
    EXPECT_EQ(s[2]->bVisited, 0);
    EXPECT_EQ(host.invalidatedAll, 1);
  }
}

TEST(MarkupPointer, SameLinkInTwoPlaces) {
  // "a" at 0-10 and "b" at 20-30, both to T, with plain "-" between.
  MarkupLabel first = Painted("[url=T]a[/url]-[url=T]b[/url]");
  FakeHost host;
  MarkupPointer::OnLButtonUp(first, host, MarkupPoint{5, 5});
  EXPECT_EQ(Segs(first)[0]->bVisited, 1);
  EXPECT_EQ(Segs(first)[2]->bVisited, 1);

  MarkupLabel second = Painted("[url=T]a[/url]-[url=T]b[/url]");
  MarkupPointer::OnLButtonUp(second, host, MarkupPoint{25, 5});
  EXPECT_EQ(Segs(second)[0]->bVisited, 0);
  EXPECT_EQ(Segs(second)[2]->bVisited, 1);
}

TEST(MarkupPointer, ClickOnPlainTextOrAFailedOpen) {
  MarkupLabel label = Painted(kWrappedLink);
  FakeHost host;
  MarkupPointer::OnLButtonUp(label, host, kOnPlain);
  EXPECT_TRUE(host.opened.empty());
  for (const MarkupSegment* seg : Segs(label)) EXPECT_EQ(seg->bVisited, 0);
  EXPECT_EQ(host.invalidatedAll, 1);

  host.openSucceeds = false;
  MarkupPointer::OnLButtonUp(label, host, kOnFirstPiece);
  EXPECT_EQ(host.opened.size(), 1u);
  EXPECT_EQ(Segs(label)[0]->bVisited, 1);
  EXPECT_EQ(host.invalidatedAll, 2);
}

TEST(MarkupPointer, CaptionlessParentIsDraggedFromPlainTextOnly) {
  MarkupLabel label = Painted(kWrappedLink);
  FakeHost host;
  MarkupPointer::OnLButtonDown(label, host, kOnPlain);
  EXPECT_TRUE(host.drags.empty());

  host.captionless = true;
  MarkupPointer::OnLButtonDown(label, host, kOnPlain);
  ASSERT_EQ(host.drags.size(), 1u);
  EXPECT_EQ(host.drags[0].x, kOnPlain.x);

  MarkupPointer::OnMouseMove(label, host, kOnFirstPiece);
  MarkupPointer::OnLButtonDown(label, host, kOnFirstPiece);
  EXPECT_EQ(host.drags.size(), 1u);
}

TEST(MarkupPointer, CancelHoverPutsEverythingOut) {
  MarkupLabel label = Painted(kWrappedLink);
  FakeHost host;
  MarkupPointer::OnMouseMove(label, host, kOnFirstPiece);
  MarkupPointer::CancelHover(label, host);
  EXPECT_FALSE(host.captured);
  EXPECT_EQ(label.m_bOverLink, 0);
  for (const MarkupSegment* seg : Segs(label)) EXPECT_EQ(seg->bHot + seg->bHasCapture, 0);
  // The next move over the link lights it again.
  MarkupPointer::OnMouseMove(label, host, kOnFirstPiece);
  EXPECT_TRUE(host.captured);
}

}  // namespace
}  // namespace sekato::controls

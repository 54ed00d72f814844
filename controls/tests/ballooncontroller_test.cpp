#include "ballooncontroller.h"

#include <gtest/gtest.h>

#include "balloonfakehost.h"

namespace sekato::controls {
namespace {

using Input = BalloonController::Input;
constexpr unsigned kShow = BalloonController::IDT_BALLOON_SHOW;
constexpr unsigned kPoll = BalloonController::IDT_BALLOON_POLL;

// Two registered controls side by side, the form around them and, beyond the form, places
// from which no event reaches the relay.
class BalloonTimers : public ::testing::Test {
 protected:
  static constexpr BalloonPoint kInA{110, 105};
  static constexpr BalloonPoint kInB{210, 105};
  static constexpr BalloonPoint kOnForm{50, 50};

  void SetUp() override { host.Attach(tip); }

  // Arms like the window's relay: the tool under the point, if any, with its text.
  bool ArmToolAt(BalloonPoint pt) {
    ++lookups;
    if (pt.y < 100 || pt.y >= 120 || pt.x < 100 || pt.x >= 300) return false;
    tip.SetIconSize(std::nullopt);
    tip.ShowDelayed(pt.x < 200 ? "tool A" : "tool B", &pt);
    return true;
  }

  // The pointer moves to `pt` over the form, which relays the move.
  void MoveTo(BalloonPoint pt) {
    host.cursor = pt;
    Relay(Input::kMouseMove);
  }
  void Relay(Input input) {
    tip.Relay(input, [this](BalloonPoint pt) { return ArmToolAt(pt); });
  }
  // The pointer leaves for a place the relay does not hear about.
  void MoveAway(BalloonPoint pt) { host.cursor = pt; }

  testing::FakeBalloonHost host;
  BalloonController tip{host};
  int lookups = 0;
};

TEST_F(BalloonTimers, SeveralArmingsGiveOneShowAfterTheLastWithItsTextAndPoint) {
  EXPECT_EQ(tip.TimerId(), 0u);
  MoveTo(kInA);
  host.Advance(200);
  MoveTo({kInA.x + 5, kInA.y + 1});
  host.Advance(200);
  MoveTo(kInB);
  host.Advance(499);
  EXPECT_TRUE(host.shows.empty());
  host.Advance(1);
  ASSERT_EQ(host.shows.size(), 1u);
  EXPECT_EQ(host.shows[0].at, 900);
  EXPECT_EQ(host.shows[0].text, "tool B");
  const BalloonGeometry g({6 * testing::FakeBalloonHost::kCharWidth, 13}, std::nullopt);
  EXPECT_EQ(host.shows[0].topLeft, g.TopLeftFor(kInB));
  EXPECT_EQ(host.shows[0].size, g.WindowSize());
  EXPECT_EQ(tip.TimerId(), kPoll);
  EXPECT_FALSE(host.Running(kShow));
}

TEST_F(BalloonTimers, TipStaysUpWhileThePointerRestsAndHidesAtTheNextPollOnceItMoves) {
  MoveTo(kInA);
  host.Advance(500);
  ASSERT_TRUE(host.visible);
  host.Advance(10000);  // no time limit
  EXPECT_TRUE(host.visible);
  EXPECT_EQ(host.shows.size(), 1u);

  // One pixel away, out of the relay's hearing: hidden at the next tick, not before.
  MoveAway({kInA.x + 1, kInA.y});
  const long nextPoll = host.DueAt(kPoll);
  host.Advance(nextPoll - host.Now() - 1);
  EXPECT_TRUE(host.visible);
  host.Advance(1);
  EXPECT_FALSE(host.visible);
  EXPECT_FALSE(host.Running(kPoll));
  host.Advance(5000);
  EXPECT_EQ(host.shows.size(), 1u);
}

TEST_F(BalloonTimers, PollTickFindingThePointerAwayDropsThePendingShow) {
  MoveTo(kInA);
  host.Advance(500);  // shown; the poll ticks at 1000, 1500, ...
  host.Advance(700);
  MoveTo({kInA.x + 3, kInA.y});  // 1200: re-armed for 1700, the poll ticks on unrecorded
  EXPECT_EQ(tip.TimerId(), kShow);
  EXPECT_TRUE(host.Running(kPoll));
  host.Advance(100);
  MoveAway({400, 400});  // 1300: off the form
  host.Advance(200);     // 1500: the poll kills the recorded timer, the show
  EXPECT_FALSE(host.visible);
  EXPECT_FALSE(host.Running(kShow));
  host.Advance(3000);
  EXPECT_EQ(host.shows.size(), 1u);
  // The poll was not the recorded timer and ticks on, finding nothing to do.
  EXPECT_TRUE(host.Running(kPoll));
  EXPECT_EQ(host.hides, 1);

  // Destroying the window kills the recorded id only; the poll ends with the window.
  tip.OnDestroy();
  EXPECT_TRUE(host.Running(kPoll));
}

TEST_F(BalloonTimers, ShowStepComingFirstReshapesAndRestartsThePoll) {
  MoveTo(kInA);
  host.Advance(500);  // shown; the poll ticks at 1000
  host.Advance(400);
  MoveTo(kInB);  // 900: straight onto the other tool, the tip stays as it was
  EXPECT_TRUE(host.visible);
  host.Advance(100);  // 1000: the pointer rests at the new anchor, the poll leaves it up
  EXPECT_TRUE(host.visible);
  host.Advance(400);  // 1400: the show step, with the new text at the new point
  ASSERT_EQ(host.shows.size(), 2u);
  EXPECT_EQ(host.shows[1].text, "tool B");
  EXPECT_EQ(tip.TimerId(), kPoll);
  EXPECT_EQ(host.DueAt(kPoll), 1900);  // restarted, no longer on the 500 ms grid

  MoveAway({kInB.x, kInB.y + 1});
  host.Advance(499);
  EXPECT_TRUE(host.visible);
  host.Advance(1);
  EXPECT_FALSE(host.visible);
}

TEST_F(BalloonTimers, ShowArmedOverAToolStillComesAfterThePointerLeftIt) {
  MoveTo(kInA);
  host.Advance(100);
  MoveTo(kOnForm);  // no tool: hides (nothing is up) but the show stays armed
  EXPECT_EQ(host.hides, 0);
  EXPECT_TRUE(host.Running(kShow));
  host.Advance(400);
  ASSERT_EQ(host.shows.size(), 1u);  // at the old anchor although the pointer is elsewhere
  EXPECT_EQ(host.shows[0].topLeft, tip.CreateBalloonGeometry().TopLeftFor(kInA));
  EXPECT_TRUE(host.visible);
  host.Advance(500);  // the first poll finds the pointer away
  EXPECT_FALSE(host.visible);
}

TEST_F(BalloonTimers, ButtonPressHidesWithoutTouchingTimersAndOnlyAMoveOverAToolRearms) {
  MoveTo(kInA);
  host.Advance(500);
  ASSERT_TRUE(host.visible);
  Relay(Input::kButtonDown);
  EXPECT_FALSE(host.visible);
  EXPECT_TRUE(host.Running(kPoll));

  // Releases, keys and a move reported at exactly the anchor change nothing.
  const int lookupsBefore = lookups;
  Relay(Input::kOther);
  MoveTo(kInA);
  EXPECT_EQ(lookups, lookupsBefore);
  host.Advance(2100);
  EXPECT_FALSE(host.visible);
  EXPECT_EQ(host.shows.size(), 1u);

  // A press right after arming does not stop the show that was armed.
  MoveTo({kInA.x + 1, kInA.y});
  host.Advance(100);
  Relay(Input::kButtonDown);
  host.Advance(400);
  EXPECT_EQ(host.shows.size(), 2u);
  EXPECT_TRUE(host.visible);
}

TEST_F(BalloonTimers, ArmingWithoutAPointUsesThePointer) {
  host.cursor = {42, 24};
  tip.ShowDelayed("text", nullptr);
  EXPECT_EQ(tip.Anchor(), (BalloonPoint{42, 24}));
  EXPECT_EQ(tip.ShowDelay(), 500u);
  EXPECT_EQ(host.DueAt(kShow), 500);
}

TEST_F(BalloonTimers, CancelCallsOffAPendingShowAndHidesWithBothTimersStopped) {
  MoveTo(kInA);
  host.Advance(500);
  MoveTo(kInB);  // re-armed while the poll runs: both timers tick
  tip.Cancel();
  EXPECT_FALSE(host.visible);
  EXPECT_FALSE(host.Running(kShow));
  EXPECT_FALSE(host.Running(kPoll));
  host.Advance(2000);
  EXPECT_EQ(host.shows.size(), 1u);
  MoveTo(kInA);  // a later move arms afresh
  host.Advance(500);
  EXPECT_EQ(host.shows.size(), 2u);
}

}  // namespace
}  // namespace sekato::controls

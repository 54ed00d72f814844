#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "balloonclock.h"
#include "ballooncontroller.h"
#include "balloonhost.h"

namespace sekato::controls::testing {

/// A window system whose clock only moves when the test says so. Text is measured at 7 px per
/// byte and 13 px per line.
class FakeBalloonHost final : public BalloonHost {
 public:
  struct Show {
    long at = 0;
    std::string text;
    BalloonPoint topLeft;
    BalloonSize size;
  };

  static constexpr int kCharWidth = 7;
  static constexpr int kLineHeight = 13;

  void Attach(BalloonController& controller) {
    m_controller = &controller;
    clock.SetTick([&controller](unsigned id) { controller.OnTimer(id); });
  }

  /// Moves the clock `ms` on, delivering every tick that falls due on the way, in order.
  void Advance(long ms) { clock.Advance(ms); }
  long Now() const { return clock.Now(); }
  bool Running(unsigned id) const { return clock.Running(id); }
  /// When timer `id` ticks next, or -1 when it does not run.
  long DueAt(unsigned id) const { return clock.DueAt(id); }

  BalloonClock clock;
  BalloonPoint cursor;
  bool visible = false;
  int hides = 0;  // hides of a visible window
  std::vector<Show> shows;

  void SetTimer(unsigned id, unsigned periodMs) override { clock.Start(id, periodMs); }
  void KillTimer(unsigned id) override { clock.Stop(id); }
  BalloonPoint GetCursorPos() const override { return cursor; }
  int TextLineWidth(std::string_view line) const override {
    return kCharWidth * static_cast<int>(line.size());
  }
  int TextLineHeight() const override { return kLineHeight; }
  void ShowBalloon(const BalloonGeometry& geometry, BalloonPoint topLeft) override {
    visible = true;
    shows.push_back({clock.Now(), m_controller->Text(), topLeft, geometry.WindowSize()});
  }
  void HideBalloon() override {
    if (visible) ++hides;
    visible = false;
  }

 private:
  BalloonController* m_controller = nullptr;
};

}  // namespace sekato::controls::testing

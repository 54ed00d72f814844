#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "ballooncontroller.h"
#include "balloonhost.h"

namespace sekato::controls::testing {

/// A window system whose clock only moves when the test says so. Timers repeat, restart when
/// started again and ignore kills of ids that do not run, like the tip's real timers. Text
/// is measured at 7 px per byte and 13 px per line.
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

  void Attach(BalloonController& controller) { m_controller = &controller; }

  /// Moves the clock `ms` on, delivering every tick that falls due on the way, in order.
  void Advance(long ms) {
    const long end = m_now + ms;
    for (;;) {
      auto next = m_timers.end();
      for (auto it = m_timers.begin(); it != m_timers.end(); ++it)
        if (next == m_timers.end() || it->second.due < next->second.due) next = it;
      if (next == m_timers.end() || next->second.due > end) break;
      m_now = next->second.due;
      next->second.due += next->second.period;
      m_controller->OnTimer(next->first);
    }
    m_now = end;
  }

  long Now() const { return m_now; }
  bool Running(unsigned id) const { return m_timers.count(id) != 0; }
  /// When timer `id` ticks next, or -1 when it does not run.
  long DueAt(unsigned id) const {
    const auto it = m_timers.find(id);
    return it == m_timers.end() ? -1 : it->second.due;
  }

  BalloonPoint cursor;
  bool visible = false;
  int hides = 0;  // hides of a visible window
  std::vector<Show> shows;

  void SetTimer(unsigned id, unsigned periodMs) override {
    m_timers[id] = Timer{static_cast<long>(periodMs), m_now + static_cast<long>(periodMs)};
  }
  void KillTimer(unsigned id) override { m_timers.erase(id); }
  BalloonPoint GetCursorPos() const override { return cursor; }
  int TextLineWidth(std::string_view line) const override {
    return kCharWidth * static_cast<int>(line.size());
  }
  int TextLineHeight() const override { return kLineHeight; }
  void ShowBalloon(const BalloonGeometry& geometry, BalloonPoint topLeft) override {
    visible = true;
    shows.push_back({m_now, m_controller->Text(), topLeft, geometry.WindowSize()});
  }
  void HideBalloon() override {
    if (visible) ++hides;
    visible = false;
  }

 private:
  struct Timer {
    long period = 0;
    long due = 0;
  };

  BalloonController* m_controller = nullptr;
  long m_now = 0;
  std::map<unsigned, Timer> m_timers;
};

}  // namespace sekato::controls::testing

#pragma once

#include <functional>
#include <map>

namespace sekato::controls {

/// The tip's timers on a clock that only moves when told to, so that tests see half a second
/// pass at once. Timers repeat, restart when started again and ignore stops of ids that do not
/// run, like the tip's real timers.
class BalloonClock final {
 public:
  /// Called with the id of each timer that falls due.
  using Tick = std::function<void(unsigned id)>;

  void SetTick(Tick tick) { m_tick = std::move(tick); }

  void Start(unsigned id, unsigned periodMs) {
    m_timers[id] = Timer{static_cast<long>(periodMs), m_now + static_cast<long>(periodMs)};
  }
  void Stop(unsigned id) { m_timers.erase(id); }
  /// Stops every timer and forgets the tick: whoever listened is going away.
  void Detach() {
    m_timers.clear();
    m_tick = nullptr;
  }

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
      if (m_tick) m_tick(next->first);
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

 private:
  struct Timer {
    long period = 0;
    long due = 0;
  };

  Tick m_tick;
  long m_now = 0;
  std::map<unsigned, Timer> m_timers;
};

}  // namespace sekato::controls

#pragma once

#include <atomic>

namespace sekato::cli {

/// The run flag every split of one call polls, and Ctrl-C (or SIGTERM) as Stop for all of
/// them: the first signal clears the flag, so each run closes its current piece and ends; a
/// second one ends the program at once. One object lives for the whole call.
class InterruptFlag final {
 public:
  InterruptFlag();
  ~InterruptFlag();
  InterruptFlag(const InterruptFlag&) = delete;
  InterruptFlag& operator=(const InterruptFlag&) = delete;

  /// 1 until a signal came.
  std::atomic<int>& Flag() { return m_bRunning; }

 private:
  std::atomic<int> m_bRunning{1};
};

}  // namespace sekato::cli

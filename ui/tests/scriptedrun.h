#pragma once

#include <QSemaphore>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>

#include "csplitworker.h"
#include "sekato/splitoptions.h"

namespace sekato::ui::test {

/// A split that runs until the test releases it or Stop clears the flag, then ends the way
/// the engine does: completion message and flag cleared, or termination message. `started`
/// and `ended` count runs that have begun and returned, for the test to wait on.
class ScriptedRun final {
 public:
  CSplitWorker::RunFunction Function();
  void Release();

  std::atomic<int> runs{0};
  QSemaphore started;
  QSemaphore ended;
  std::optional<engine::Numerals::Series> numeralSeries;
  engine::SplitOptions optionsAtEnd;

 private:
  engine::SplitEnd End(const engine::SplitOptions& options, engine::SplitHost& host);

  std::mutex m_mutex;
  std::condition_variable m_cv;
  bool m_bReleased = false;
};

}  // namespace sekato::ui::test

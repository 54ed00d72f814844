#include "scriptedrun.h"

#include <chrono>

namespace sekato::ui::test {

using engine::MessageId;
using engine::SplitEnd;
using engine::SplitHost;
using engine::SplitOptions;
using engine::SplitOutcome;

CSplitWorker::RunFunction ScriptedRun::Function() {
  return [this](const SplitOptions& options, SplitHost& host) {
    ++runs;
    numeralSeries = options.numerals;
    host.Progress(0, 1000);
    started.release();
    {
      // Stop only lowers the flag, with nothing to wake a waiter: look at it as the engine
      // does between lines, while Release wakes the wait at once.
      std::unique_lock lock(m_mutex);
      while (!m_bReleased && host.Progress(0, 1000)) {
        m_cv.wait_for(lock, std::chrono::milliseconds(2));
      }
    }
    SplitEnd end = End(options, host);
    ended.release();
    return end;
  };
}

void ScriptedRun::Release() {
  const std::lock_guard lock(m_mutex);
  m_bReleased = true;
  m_cv.notify_all();
}

SplitEnd ScriptedRun::End(const SplitOptions& options, SplitHost& host) {
  optionsAtEnd = options;  // the run's own options, after the form was edited
  if (!host.Progress(0, 1000)) return {SplitOutcome::Stopped, {MessageId::Stopped}, {}};
  host.Progress(1000, 1000);
  return {SplitOutcome::Completed, {MessageId::Completed}, {}};
}

}  // namespace sekato::ui::test

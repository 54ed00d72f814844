#pragma once

#include <QObject>
#include <atomic>
#include <cstdint>
#include <thread>

#include "csplitworker.h"
#include "scanresult.h"
#include "splitoptions.h"

namespace sekato::ui {

/// The preview's inspection on its own thread, so the window stays responsive on a large
/// book: progress goes into atomics the window draws at its own pace, the form's run flag
/// stops it (Stop works as for a split), and Ended follows on the user-interface thread once
/// the thread has been joined; the result is then ready.
class CScanWorker final : public QObject {
  Q_OBJECT

 public:
  /// `running` is the form's run flag and must outlive this object.
  explicit CScanWorker(std::atomic<int>& running);
  ~CScanWorker() override;

  /// Starts inspecting `options` with numeral series `series`; false when no thread starts.
  bool Start(engine::SplitOptions options, engine::Numerals::Series series,
             const CSplitWorker::ThreadStarter& starter);

  /// True from a successful Start until the thread has ended and been joined.
  bool IsActive() const { return m_bActive; }

  /// Closing the window: stops the inspection and waits for it; Ended does not follow.
  void Shutdown();

  std::int64_t ProgressUpper() const { return m_nUpper.load(std::memory_order_relaxed); }
  std::int64_t ProgressPos() const { return m_nPos.load(std::memory_order_relaxed); }

  /// What was found; meaningful once Ended was emitted.
  const engine::ScanResult& Result() const { return m_result; }

 signals:
  void Ended();

 private:
  void OnThreadEnded();  // user-interface thread

  std::atomic<int>& m_running;
  std::thread m_thread;
  std::atomic<bool> m_bActive{false};
  std::atomic<std::int64_t> m_nUpper{-1};
  std::atomic<std::int64_t> m_nPos{0};
  engine::ScanResult m_result;  // written by the thread before it ends
};

}  // namespace sekato::ui

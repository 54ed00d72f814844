#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

#include "splithost.h"
#include "splitoptions.h"

class QWidget;

namespace sekato::ui {

/// One split on its own thread, and the window's side of it: the engine's host.
///
/// The worker thread talks to the window only through this object:
///  - the run flag is the form's atomic `m_bRunning` (read per line, cleared at the end);
///  - progress is stored in atomics on every line and drawn by the window at its own pace;
///  - each message is shown on the user-interface thread in the program's modal box, and the
///    worker waits until it has been dismissed.
/// The thread is joined on the user-interface thread (Ended follows); Shutdown is for closing
/// the window in the middle of a run and never waits for a message box.
class CSplitWorker final : public QObject, public engine::SplitHost {
  Q_OBJECT

 public:
  using RunFunction =
      std::function<engine::SplitOutcome(const engine::SplitOptions&, engine::SplitHost&)>;
  using ThreadStarter = std::function<std::thread(std::function<void()>)>;

  /// `running` is the form's run flag and must outlive this object; `messageParent` is the
  /// window the boxes are modal to; `numeralSeries` is the combo selection taken at Start.
  CSplitWorker(std::atomic<int>& running, int numeralSeries, QWidget* messageParent);
  ~CSplitWorker() override;

  /// The engine's own worker body.
  static RunFunction EngineRun();
  /// Starts plain std::threads; throws std::system_error when the system refuses one.
  static ThreadStarter SystemThreads();

  /// Starts the thread that runs `run(options, *this)`. Returns false, with no thread left
  /// behind, when the thread cannot be started.
  bool Start(engine::SplitOptions options, RunFunction run, const ThreadStarter& starter);

  /// True from a successful Start until the thread has ended and been joined.
  bool IsActive() const { return m_bActive; }

  /// Closing the window: clears the run flag, lets a worker that waits for a message box go
  /// on without it, and waits for the thread. Messages after this are not shown.
  void Shutdown();

  /// The last progress range (−1 before the run reports one) and position the run reported.
  std::int64_t ProgressUpper() const { return m_nUpper.load(std::memory_order_relaxed); }
  std::int64_t ProgressPos() const { return m_nPos.load(std::memory_order_relaxed); }

  /// How the run ended; meaningful once Ended was emitted.
  engine::SplitOutcome Outcome() const { return m_outcome; }

  // engine::SplitHost, called on the worker thread.
  int NumeralSeries() override;
  void ShowMessage(engine::SplitOutcome kind, const std::string& utf8Text) override;
  void SetProgressRange(std::int64_t upper) override;
  void SetProgressPos(std::int64_t position) override;
  bool IsRunning() override;
  void ClearRunning() override;
  /// Kept for the run's closing message, which shows it beneath its first line, so a run is
  /// not held up by a box in the middle.
  void Warn(const std::string& utf8Text) override;
  void Tally(const engine::RunTally& tally) override;

  /// True when the user asked, from the completion message, to preview the chapters.
  bool PreviewAsked() const { return m_bPreviewAsked; }

  /// The completion message for what a run wrote: "文件分割完成！" first, then how many
  /// pieces and where, and when chapter splitting found no heading, that it did not.
  static QString CompletionText(const engine::RunTally& tally);

 signals:
  /// The thread has ended and been joined (user-interface thread).
  void Ended();
  /// The worker cleared the run flag by itself (user-interface thread, shortly after).
  void RunningCleared();

 private:
  void ShowPendingMessage();  // user-interface thread
  void OnThreadEnded();       // user-interface thread

  std::atomic<int>& m_running;
  const int m_nNumeralSeries;
  QPointer<QWidget> m_pMessageParent;

  std::thread m_thread;
  std::atomic<bool> m_bActive{false};
  engine::SplitOutcome m_outcome = engine::SplitOutcome::Failed;  // written before the join

  std::atomic<std::int64_t> m_nUpper{-1};  // −1: no range reported yet
  std::atomic<std::int64_t> m_nPos{0};

  std::mutex m_mutex;  // guards the three members below
  std::condition_variable m_cvMessage;
  bool m_bMessagePending = false;
  bool m_bAbandoned = false;  // the window is closing: show nothing, wait for nothing
  QString m_strPendingText;
  QString m_strWarnings;  // worker thread only, until the closing message
  QString m_strPendingWarnings;  // those of the message pending, under the mutex
  engine::SplitOutcome m_pendingKind = engine::SplitOutcome::Failed;
  engine::RunTally m_tally;  // written by the worker before its completion message
  bool m_bPreviewAsked = false;  // user-interface thread
};

}  // namespace sekato::ui

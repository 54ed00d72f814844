#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

#include "splithost.h"
#include "splitoptions.h"

namespace sekato::ui {

/// One split on its own thread, and the engine's host for it.
///
/// The thread shares with the window only the run flag and the progress (atomics). What the
/// run has to say at its end is recorded, not shown: once the thread has ended and been joined
/// on the user-interface thread, Ended hands the window the outcome, the message and whether
/// the run asked for its flag to be cleared. The worker never waits for the window.
class CSplitWorker final : public QObject, public engine::SplitHost {
  Q_OBJECT

 public:
  using RunFunction =
      std::function<engine::SplitOutcome(const engine::SplitOptions&, engine::SplitHost&)>;
  using ThreadStarter = std::function<std::thread(std::function<void()>)>;

  /// What a run ended with: its outcome, its closing message (empty when it had none) and
  /// whether it ended on its own, so that its run flag is to be cleared once the message has
  /// been read.
  struct Result {
    engine::SplitOutcome outcome = engine::SplitOutcome::Failed;
    QString text;
    bool clearRunning = false;
    engine::RunTally tally;  ///< what a run that wrote pieces wrote
    QString warnings;        ///< said during the run, one per line, each after a line feed
  };

  /// `running` is the form's run flag and must outlive this object; `numeralSeries` is the
  /// combo selection taken at Start.
  CSplitWorker(std::atomic<int>& running, engine::Numerals::Series numeralSeries);
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

  /// Waits for the thread (closing the window, after the flag was cleared); Ended does not
  /// follow.
  void Join();

  /// The last progress range (−1 before the run reports one) and position the run reported.
  std::int64_t ProgressUpper() const { return m_nUpper.load(std::memory_order_relaxed); }
  std::int64_t ProgressPos() const { return m_nPos.load(std::memory_order_relaxed); }

  /// How the run ended; meaningful once the thread has been joined.
  const Result& GetResult() const { return m_result; }
  engine::SplitOutcome Outcome() const { return m_result.outcome; }

  // engine::SplitHost, called on the worker thread.
  engine::Numerals::Series NumeralSeries() override;
  void ShowMessage(engine::SplitOutcome kind, const std::string& utf8Text) override;
  void SetProgressRange(std::int64_t upper) override;
  void SetProgressPos(std::int64_t position) override;
  bool IsRunning() override;
  void ClearRunning() override;
  /// Kept for the run's closing message, which shows it beneath its first line, so a run is
  /// not held up by a box in the middle.
  void Warn(const std::string& utf8Text) override;
  void Tally(const engine::RunTally& tally) override;

  /// The completion message for what a run wrote: "文件分割完成！" first, then how many
  /// pieces and where, and when chapter splitting found no heading, that it did not.
  static QString CompletionText(const engine::RunTally& tally);

 signals:
  /// The thread has ended and been joined (user-interface thread); GetResult tells how.
  void Ended();

 private:
  void OnThreadEnded();  // user-interface thread

  std::atomic<int>& m_running;
  const engine::Numerals::Series m_numeralSeries;

  std::thread m_thread;
  std::atomic<bool> m_bActive{false};
  Result m_result;  // the worker's until the join, the window's after it

  std::atomic<std::int64_t> m_nUpper{-1};  // −1: no range reported yet
  std::atomic<std::int64_t> m_nPos{0};
};

}  // namespace sekato::ui

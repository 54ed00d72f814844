#pragma once

#include <QString>
#include <QStringList>
#include <atomic>
#include <cstdint>
#include <functional>

#include "sekato/scanresult.h"
#include "sekato/splithost.h"
#include "sekato/splitoptions.h"

namespace sekato::ui {

/// The engine's host for one job of the form, a split or a chapter preview, on the run
/// control's thread.
///
/// The job shares with the window only the run flag and the progress (atomics). What it
/// ends with is recorded, not shown: once its thread has been joined, the window reads the
/// outcome, the message and whether the run's flag is to be cleared, or what the preview
/// found. The worker never waits for the window.
class CSplitWorker final : public engine::SplitHost {
 public:
  using RunFunction =
      std::function<engine::SplitEnd(const engine::SplitOptions&, engine::SplitHost&)>;

  /// The split itself: SplitRun(options, host).Execute().
  static engine::SplitEnd RunSplit(const engine::SplitOptions& options, engine::SplitHost& host);

  /// What a job ended with: a split's outcome, its closing message in the window's language
  /// (empty when it had none) and whether it ended on its own, so that its run flag is to be
  /// cleared once the message has been read; or a preview's findings (and `text` when it
  /// could not finish for a reason of the window's own).
  struct Result {
    engine::SplitOutcome outcome = engine::SplitOutcome::Failed;
    QString text;
    bool clearRunning = false;
    engine::RunTally tally;   ///< what a run that wrote pieces wrote
    QString warnings;         ///< said during the run, one per line, each after a line feed
    engine::ScanResult scan;  ///< what a preview found
    QStringList notes;  ///< a completed split's numbering notes ("编号 35 出现 2 次：…")
  };

  /// `running` is the form's run flag and must outlive this object.
  explicit CSplitWorker(std::atomic<int>& running);

  /// Splits: `run(options, *this)`. An exception ends the run as failed, with its message
  /// and the flag given back, rather than the program.
  void Split(const engine::SplitOptions& options, const RunFunction& run);
  /// Inspects `options` as a split would read the source; an exception fails the preview.
  void Preview(const engine::SplitOptions& options);

  /// The last progress range (−1 before the job reports one) and position the job reported.
  std::int64_t ProgressUpper() const { return m_nUpper.load(std::memory_order_relaxed); }
  std::int64_t ProgressPos() const { return m_nPos.load(std::memory_order_relaxed); }

  /// How the job ended; meaningful once its thread has been joined.
  const Result& GetResult() const { return m_result; }
  engine::SplitOutcome Outcome() const { return m_result.outcome; }

  // engine::SplitHost, called on the job's thread.
  bool Progress(std::int64_t position, std::int64_t length) override;
  /// Kept for the run's closing message, which shows it beneath its first line, so a run is
  /// not held up by a box in the middle.
  void Warn(const engine::Message& message) override;

  /// The completion message for what a run wrote: "文件分割完成！" first, then how many
  /// pieces and where, when chapter splitting found no heading, that it did not, and the
  /// numbering notes (the first ten).
  static QString CompletionText(const engine::RunTally& tally, const QStringList& notes = {});
  /// What a stopped or failed run leaves, under its message: "\n已写出 3 个文件，保存在：\n…".
  static QString KeptText(const engine::RunTally& tally);
  /// The numbering notes of a chapter split with `options`, one a line; read from the source.
  static QStringList NumberingNotes(const engine::SplitOptions& options);

 private:
  std::atomic<int>& m_running;
  Result m_result;  // the job's until the join, the window's after it

  std::atomic<std::int64_t> m_nUpper{-1};  // −1: no range reported yet
  std::atomic<std::int64_t> m_nPos{0};
};

}  // namespace sekato::ui

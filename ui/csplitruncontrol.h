#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

#include "cbookqueue.h"
#include "csplitworker.h"
#include "sekato/scanresult.h"

class QProgressBar;
class QWidget;

namespace sekato::ui {

/// Runs the form's splits and chapter previews one at a time, each on a thread of its own:
/// starts the job, draws its progress on the bar, and once the thread has ended and been
/// joined shows a split's closing message or hands the preview over. Its signals say when
/// Start, Preview and Stop can be used, so that the commands follow it.
///
/// A run is busy from Start until its worker has ended and its message has been dismissed:
/// Start stays disabled that long (and Stop enabled unless the run was stopped), so a new run
/// never meets the old one. A preview holds the run flag like a split.
class CSplitRunControl final : public QObject {
  Q_OBJECT

 public:
  /// `running` is the form's run flag; `bar` shows the progress; message boxes are modal to
  /// `messageParent`. All three must outlive this object.
  CSplitRunControl(std::atomic<int>& running, QProgressBar* bar, QWidget* messageParent);
  ~CSplitRunControl() override;

  /// Whether the form has a source to split.
  void SetSourceChosen(bool bChosen);
  /// Whether the form's heading rule can be used: a rule that would be refused holds Start.
  void SetRuleValid(bool bValid);

  bool CanStart() const { return m_bSource && m_bRuleValid && !IsBusy() && !m_bClosing; }
  bool CanStop() const { return m_running.load() != 0; }
  /// True from Start until the worker has ended and its message has been dismissed.
  bool IsBusy() const { return m_bBusy; }
  /// True while a split's worker is still at work (not stopped, not ended): closing the
  /// window then asks first.
  bool IsSplitting() const {
    return CanStop() && !m_bPreviewing && (!m_bThreadDone.load() || m_pQueue != nullptr);
  }
  /// True once the window is closing.
  bool IsClosed() const { return m_bClosing; }

  /// Raises the flag and starts a worker on `options`. False, after telling the user, when
  /// no thread can be started; false without a word while busy or closing.
  bool Start(engine::SplitOptions options);
  /// Raises the flag and inspects `options` on a worker; as Start.
  bool StartPreview(engine::SplitOptions options);
  /// Raises the flag and splits the books of `queue` with `runs` (one for each); Stop stops
  /// them all. Once they have ended, a message says how many were split and why the others
  /// failed. False while busy or closing.
  bool StartQueue(CBookQueue& queue, std::vector<engine::SplitOptions> runs);
  /// Lowers the flag: the worker stops at its next line and ends with its message.
  void Stop();
  /// Closing the window: stops a run, waits for its worker and shows nothing more; afterwards
  /// nothing starts.
  void StopAndWait();

  /// The current (or last) job's worker, or null before the first job.
  CSplitWorker* Worker() const { return m_pWorker.get(); }

  /// Starts a thread running the body; throws std::system_error when the system refuses one.
  using ThreadStarter = std::function<std::thread(std::function<void()>)>;

  // Injection points for tests and tools.
  void SetRunFunction(CSplitWorker::RunFunction run) { m_run = std::move(run); }
  void SetThreadStarter(ThreadStarter starter) { m_starter = std::move(starter); }

 signals:
  void CanStartChanged(bool bCan);
  void CanStopChanged(bool bCan);
  /// A preview found what a split would find: the form shows it.
  void PreviewReady(const engine::ScanResult& result);
  /// The user asked, from a completion message, to preview the chapters.
  void PreviewAsked();
  /// How far a split has come, in percent, whenever that changes; -1 once it has ended.
  void PercentChanged(int percent);

 private:
  /// Raises the flag and runs `job` on a new worker's thread. False, after lowering the flag
  /// and saying `failure`, when no thread starts.
  bool Launch(bool bPreview, std::function<void(CSplitWorker&)> job, const QString& failure);
  /// The job's thread has ended (user-interface thread): joins it and tells its end.
  void OnThreadEnded();
  /// Shows a split's closing message (completion offers the folder and, when no heading was
  /// found, the preview), then gives the form back. `result` is a copy: the box may outlive
  /// the worker.
  void OnSplitEnded(CSplitWorker::Result result);
  void OnPreviewEnded(const CSplitWorker::Result& ended);
  void OnQueueEnded(int done);
  void UpdateProgress();
  /// Runs `change`, then tells whoever listens what it changed for Start and Stop.
  template <typename Change>
  void Changing(Change change);

  std::atomic<int>& m_running;
  QPointer<QProgressBar> m_pBar;
  QPointer<QWidget> m_pMessageParent;
  CSplitWorker::RunFunction m_run;
  ThreadStarter m_starter;
  std::unique_ptr<CSplitWorker> m_pWorker;
  std::thread m_thread;
  QPointer<CBookQueue> m_pQueue;          // the queue being split, if any
  bool m_bPreviewing = false;             // the job is a preview, not a split
  std::atomic<bool> m_bThreadDone{true};  // the job's thread has done its work
  QTimer m_progressTimer;
  std::int64_t m_nShownUpper = -1;
  int m_nProgressShift = 0;  // positions above the bar's int range are scaled down
  int m_nPercent = -1;       // last told by PercentChanged
  bool m_bSource = false;
  bool m_bRuleValid = true;
  bool m_bBusy = false;
  bool m_bClosing = false;
};

}  // namespace sekato::ui

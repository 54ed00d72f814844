#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QVector>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "sekato/splitoptions.h"

namespace sekato::ui {

class CSplitWorker;

/// Several books split one after another, or several at once, with the form's options: the
/// window's side of the command line's batch (`sekato-cli -j N -o DIR a.txt b.txt …`).
///
/// Each book is a row with its own state. The books share one run flag: Stop stops them all,
/// a book being split ends its current piece, and books not yet started stay waiting. A book
/// that fails does not stop the others. The rows are the window's; the books run on the
/// engine's worker pool, which hands each thread the next waiting book.
class CBookQueue final : public QObject {
  Q_OBJECT

 public:
  enum class State { Waiting, Running, Done, Failed, Stopped };
  struct Row {
    QString path;
    State state = State::Waiting;
    int percent = 0;  ///< while running
    int pieces = 0;   ///< once done
    QString reason;   ///< once failed: the first line of the run's message
  };

  /// `running` is the run flag the books share (the form's); it must outlive the queue.
  explicit CBookQueue(std::atomic<int>& running, QObject* parent = nullptr);
  ~CBookQueue() override;

  /// The options of each book of `books` from the form's `form`, as the command line makes
  /// them for a batch: each book its own source, title and (unless `form` names the pieces
  /// itself) name; with a chosen folder, a folder of its own in it named after the book.
  /// {"/b/x.txt", "/b/y.txt"} into "out" → "out/x" and "out/y".
  static std::vector<engine::SplitOptions> OptionsFor(const engine::SplitOptions& form,
                                                      const QStringList& books);

  /// Shows `books`, all waiting, in place of the rows before. Ignored while running.
  void SetBooks(const QStringList& books);
  const QVector<Row>& Rows() const { return m_rows; }
  int Count() const { return static_cast<int>(m_rows.size()); }

  /// Splits the books with `runs` (one for each row, in order) on `jobs` threads at once
  /// (0: as many as there are processors). False when running already or the counts differ.
  bool Start(std::vector<engine::SplitOptions> runs, unsigned jobs = 0);
  /// Lowers the run flag: every book stops at its next line.
  void Stop();
  /// Stops and waits for the threads; nothing more is reported.
  void StopAndWait();
  bool IsRunning() const { return m_thread.joinable(); }

 signals:
  /// A row's state, percent or result changed.
  void RowChanged(int row);
  /// Every book has ended (done, failed or stopped): `done` of them were split.
  void Finished(int done);

 private:
  void Poll();
  void OnThreadEnded();
  void Settle(int row);

  QVector<Row> m_rows;
  std::vector<std::unique_ptr<CSplitWorker>> m_workers;  // one a row, for a run
  std::vector<std::atomic<int>> m_started;               // 1 once a thread took the row
  std::vector<std::atomic<int>> m_ended;                 // 1 once its run returned
  std::atomic<int>& m_running;
  std::thread m_thread;
  QTimer m_poll;
};

}  // namespace sekato::ui

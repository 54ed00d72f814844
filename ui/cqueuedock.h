#pragma once

#include <QObject>
#include <QStringList>

class QMainWindow;

namespace sekato::ui {

class CBookQueue;
class CQueueList;

/// The list of the books queued, under the form in the frame's lower dock, so that the form
/// keeps its own layout. The dock is made the first time two books or more are queued.
class CQueueDock final : public QObject {
  Q_OBJECT

 public:
  explicit CQueueDock(CBookQueue& queue);

  /// Queues `books` and lists them under `frame`'s form; fewer than two (or no frame) hide the
  /// list. Nothing changes while the queue is being split.
  void Show(const QStringList& books, QMainWindow* frame);
  /// Lists the queue's rows afresh, after books left it; nothing while there is no list.
  void Relist();

  /// The list; null until two books or more were queued in a frame.
  CQueueList* List() const { return m_pList; }

 private:
  CBookQueue& m_queue;
  CQueueList* m_pList = nullptr;  // a child of its dock, which is the frame's
};

}  // namespace sekato::ui

#include "cqueuedock.h"

#include <QDockWidget>
#include <QMainWindow>

#include "cbookqueue.h"
#include "cqueuelist.h"

namespace sekato::ui {

CQueueDock::CQueueDock(CBookQueue& queue) : m_queue(queue) {}

void CQueueDock::Show(const QStringList& books, QMainWindow* frame) {
  if (m_queue.IsRunning()) return;
  m_queue.SetBooks(books.size() >= 2 ? books : QStringList());
  if (books.size() < 2 || frame == nullptr) {
    if (m_pList) m_pList->parentWidget()->hide();
    return;
  }
  if (!m_pList) {
    // Under the form, in the frame's lower dock, so the form keeps its own layout.
    auto* dock = new QDockWidget(tr("待分割的书"), frame);
    dock->setObjectName(QStringLiteral("queueDock"));
    dock->setFeatures(QDockWidget::NoDockWidgetFeatures);
    m_pList = new CQueueList(m_queue, dock);
    dock->setWidget(m_pList);
    frame->addDockWidget(Qt::BottomDockWidgetArea, dock);
  }
  Relist();
  m_pList->parentWidget()->show();
}

void CQueueDock::Relist() {
  // A view without a frame queues its books but never lists them.
  if (!m_pList) return;
  m_pList->setRowCount(0);
  for (int i = 0; i < m_queue.Count(); ++i) emit m_queue.RowChanged(i);
}

}  // namespace sekato::ui

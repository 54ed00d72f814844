#include "cqueuelist.h"

#include <QFileInfo>
#include <QHeaderView>

namespace sekato::ui {

CQueueList::CQueueList(const CBookQueue& queue, QWidget* parent)
    : QTableWidget(0, 2, parent), m_queue(queue) {
  setObjectName(QStringLiteral("queueList"));
  setAccessibleName(tr("待分割的书"));
  setHorizontalHeaderLabels({tr("书"), tr("状态")});
  horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  verticalHeader()->hide();
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  connect(&queue, &CBookQueue::RowChanged, this, &CQueueList::Refresh);
}

QString CQueueList::StateText(const CBookQueue::Row& row) {
  switch (row.state) {
    case CBookQueue::State::Waiting:
      return tr("等待");
    case CBookQueue::State::Running:
      return tr("%1%").arg(row.percent);
    case CBookQueue::State::Done:
      return tr("完成 %n 个文件", nullptr, row.pieces);
    case CBookQueue::State::Stopped:
      return tr("已停止");
    case CBookQueue::State::Failed:
      return tr("失败：%1").arg(row.reason);
  }
  return {};
}

void CQueueList::Refresh(int row) {
  if (row < 0 || row >= m_queue.Count()) return;
  if (rowCount() != m_queue.Count()) setRowCount(m_queue.Count());
  const CBookQueue::Row& book = m_queue.Rows()[row];
  auto* name = new QTableWidgetItem(QFileInfo(book.path).fileName());
  name->setToolTip(book.path);
  setItem(row, 0, name);
  auto* state = new QTableWidgetItem(StateText(book));
  state->setToolTip(state->text());
  setItem(row, 1, state);
}

}  // namespace sekato::ui

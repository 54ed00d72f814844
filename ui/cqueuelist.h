#pragma once

#include <QTableWidget>

#include "cbookqueue.h"

namespace sekato::ui {

/// The books of a queue under the form, one row each: the book's file name (its path as the
/// tooltip) and its state, "等待", "37%", "完成 12 个文件", "已停止" or "失败：<reason>".
class CQueueList final : public QTableWidget {
  Q_OBJECT

 public:
  explicit CQueueList(const CBookQueue& queue, QWidget* parent = nullptr);

  /// The state column's text for `row`.
  static QString StateText(const CBookQueue::Row& row);

 private:
  void Refresh(int row);

  const CBookQueue& m_queue;
};

}  // namespace sekato::ui

#pragma once

#include <QWidget>

namespace sekato::ui {

class CHeadingListModel;

/// One bar per chapter of the preview's list, its height the chapter's size, so that a
/// chapter ten times the median (headings missed inside it) or a tiny one (a line taken for
/// a heading) stands out at a glance; those bars are tinted as the marked rows are.
/// Unchecked rows are drawn pale. Clicking a bar tells its row.
class CChapterStrip final : public QWidget {
  Q_OBJECT

 public:
  explicit CChapterStrip(const CHeadingListModel& model, QWidget* parent = nullptr);

  QSize sizeHint() const override { return {640, 56}; }
  /// The row whose bar lies under `x`; -1 when there is none.
  int RowAt(int x) const;

 signals:
  void RowClicked(int row);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  const CHeadingListModel& m_model;
};

}  // namespace sekato::ui

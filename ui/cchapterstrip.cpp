#include "cchapterstrip.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "cheadinglistmodel.h"

namespace sekato::ui {

CChapterStrip::CChapterStrip(const CHeadingListModel& model, QWidget* parent)
    : QWidget(parent), m_model(model) {
  setObjectName(QStringLiteral("strip"));
  setMinimumHeight(40);
  setToolTip(tr("每章一条，高度是章节大小；点一下选中那一行"));
  const auto repaint = [this] { update(); };
  connect(&model, &CHeadingListModel::ListChanged, this, repaint);
  connect(&model, &QAbstractItemModel::modelReset, this, repaint);
  connect(&model, &QAbstractItemModel::rowsInserted, this, repaint);
}

int CChapterStrip::RowAt(int x) const {
  const int rows = m_model.rowCount();
  if (rows == 0 || width() <= 0 || x < 0 || x >= width()) return -1;
  return std::min(rows - 1, static_cast<int>(static_cast<qint64>(x) * rows / width()));
}

void CChapterStrip::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().base());
  const int rows = m_model.rowCount();
  if (rows == 0) return;
  std::int64_t largest = 1;
  for (int row = 0; row < rows; ++row) largest = std::max(largest, m_model.Size(row));
  // Many thousand chapters share a pixel: each column shows the largest of its chapters.
  const int columns = std::min(rows, std::max(width(), 1));
  for (int column = 0; column < columns; ++column) {
    const int first = static_cast<int>(static_cast<qint64>(column) * rows / columns);
    const int last =
        std::max(first, static_cast<int>(static_cast<qint64>(column + 1) * rows / columns) - 1);
    std::int64_t size = 0;
    bool outlier = false;
    bool checked = false;
    for (int row = first; row <= last; ++row) {
      size = std::max(size, m_model.Size(row));
      outlier = outlier || m_model.IsOutlier(row);
      checked = checked || m_model.IsChecked(row);
    }
    const int x0 = column * width() / columns;
    const int x1 = std::max(x0 + 1, (column + 1) * width() / columns - (columns < width() / 2));
    const int h = std::max(1, static_cast<int>(size * (height() - 2) / largest));
    QColor color = outlier ? QColor(220, 80, 80) : palette().highlight().color();
    if (!checked) color.setAlpha(60);
    painter.fillRect(QRect(x0, height() - h, x1 - x0, h), color);
  }
}

void CChapterStrip::mousePressEvent(QMouseEvent* event) {
  const int row = RowAt(static_cast<int>(event->position().x()));
  if (row >= 0) emit RowClicked(row);
}

}  // namespace sekato::ui

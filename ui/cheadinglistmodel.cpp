#include "cheadinglistmodel.h"

#include <QColor>

#include "sekato/scanreport.h"

namespace sekato::ui {

QColor CHeadingListModel::MarkColor() { return QColor(255, 218, 218); }

CHeadingListModel::CHeadingListModel(std::vector<engine::ScannedHeading> headings,
                                     std::map<std::int64_t, std::string> marks,
                                     engine::Encoding text, QObject* parent)
    : QAbstractTableModel(parent),
      m_headings(std::move(headings)),
      m_marks(std::move(marks)),
      m_text(text) {}

int CHeadingListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_headings.size());
}

int CHeadingListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumns;
}

QVariant CHeadingListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const auto& h = m_headings[static_cast<std::size_t>(index.row())];
  const auto mark = m_marks.find(h.line);
  switch (role) {
    case Qt::DisplayRole:
      switch (index.column()) {
        case kIndex:
          return QVariant::fromValue<qlonglong>(h.index);
        case kTitle:
          return QString::fromStdString(engine::ScanReport::Utf8(h.title, m_text));
        case kLine:
          return QVariant::fromValue<qlonglong>(h.line);
        case kSize:
          return QString::fromStdString(engine::ScanReport::Size(h.size));
        case kFile:
          return QString::fromStdString(h.file);
        default:
          return {};
      }
    case Qt::TextAlignmentRole:
      return index.column() == kTitle || index.column() == kFile
                 ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                 : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::BackgroundRole:
      return mark != m_marks.end() ? QVariant(MarkColor()) : QVariant();
    case Qt::ToolTipRole:
      return mark != m_marks.end() ? QVariant(QString::fromStdString(mark->second)) : QVariant();
    default:
      return {};
  }
}

QVariant CHeadingListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  static const char* const kNames[kColumns] = {"序号", "章节标题", "行号", "大小", "文件"};
  return section >= 0 && section < kColumns ? QString::fromUtf8(kNames[section]) : QString();
}

}  // namespace sekato::ui

#include "cheadinglistmodel.h"

#include <QColor>
#include <algorithm>

#include "sekato/scanreport.h"

namespace sekato::ui {

QColor CHeadingListModel::MarkColor() { return QColor(255, 218, 218); }

CHeadingListModel::CHeadingListModel(std::vector<engine::ScannedHeading> headings,
                                     std::map<std::int64_t, std::string> marks,
                                     engine::Encoding text, QObject* parent)
    : QAbstractTableModel(parent),
      m_headings(std::move(headings)),
      m_marks(std::move(marks)),
      m_text(text) {
  m_checked.assign(m_headings.size(), true);
  m_titles.assign(m_headings.size(), QString());
  FindOutliers();
}

void CHeadingListModel::FindOutliers() {
  std::vector<std::int64_t> sizes;
  for (const auto& h : m_headings) sizes.push_back(h.size);
  m_outliers.assign(m_headings.size(), false);
  if (sizes.size() < 3) return;
  std::vector<std::int64_t> sorted = sizes;
  std::nth_element(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() / 2),
                   sorted.end());
  const std::int64_t median = sorted[sorted.size() / 2];
  // Ten times the median: headings missed inside; a twentieth of it: a line taken wrongly.
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    m_outliers[i] = median > 0 && (sizes[i] >= 10 * median || sizes[i] * 20 < median);
  }
}

bool CHeadingListModel::IsOutlier(int row) const {
  return row >= 0 && static_cast<std::size_t>(row) < m_outliers.size() &&
         m_outliers[static_cast<std::size_t>(row)];
}

void CHeadingListModel::Changed() {
  m_bEdited = true;
  emit ListChanged();
}

Qt::ItemFlags CHeadingListModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags flags = QAbstractTableModel::flags(index);
  if (index.column() == kIndex) flags |= Qt::ItemIsUserCheckable;
  if (index.column() == kTitle) flags |= Qt::ItemIsEditable;
  return flags;
}

bool CHeadingListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || index.row() >= rowCount()) return false;
  const auto row = static_cast<std::size_t>(index.row());
  if (index.column() == kIndex && role == Qt::CheckStateRole) {
    m_checked[row] = value.toInt() == Qt::Checked;
  } else if (index.column() == kTitle && role == Qt::EditRole) {
    m_titles[row] = value.toString().trimmed();
    if (m_titles[row].isNull()) m_titles[row] = QLatin1String("");
  } else {
    return false;
  }
  emit dataChanged(this->index(index.row(), 0), this->index(index.row(), kColumns - 1));
  Changed();
  return true;
}

void CHeadingListModel::SetChecked(const std::vector<int>& rows, Check how) {
  if (rows.empty()) return;
  for (const int row : rows) {
    auto&& checked = m_checked[static_cast<std::size_t>(row)];
    checked = how == Check::All ? true : how == Check::None ? false : !checked;
  }
  const auto [low, high] = std::minmax_element(rows.begin(), rows.end());
  emit dataChanged(index(*low, 0), index(*high, kColumns - 1));
  Changed();
}

bool CHeadingListModel::InsertLine(std::int64_t line, int& row) {
  if (line < 1) return false;
  const auto at = std::lower_bound(
      m_headings.begin(), m_headings.end(), line,
      [](const engine::ScannedHeading& h, std::int64_t value) { return h.line < value; });
  row = static_cast<int>(at - m_headings.begin());
  if (at != m_headings.end() && at->line == line) return false;
  const auto pos = static_cast<std::size_t>(row);
  beginInsertRows({}, row, row);
  engine::ScannedHeading heading;
  heading.line = line;
  heading.index = -1;
  m_headings.insert(at, heading);
  m_checked.insert(m_checked.begin() + row, true);
  m_titles.insert(m_titles.begin() + row, QString());
  m_outliers.insert(m_outliers.begin() + row, false);
  (void)pos;
  endInsertRows();
  Changed();
  return true;
}

engine::ChapterList CHeadingListModel::List() const {
  engine::ChapterList list;
  for (std::size_t i = 0; i < m_headings.size(); ++i) {
    if (!m_checked[i]) continue;
    list.entries.push_back({m_headings[i].line, m_titles[i].toStdString()});
  }
  return list;
}

void CHeadingListModel::SetList(const engine::ChapterList& list) {
  beginResetModel();
  std::vector<engine::ScannedHeading> headings;
  std::vector<QString> titles;
  std::size_t known = 0;
  for (const auto& entry : list.entries) {
    while (known < m_headings.size() && m_headings[known].line < entry.line) ++known;
    engine::ScannedHeading h;
    if (known < m_headings.size() && m_headings[known].line == entry.line) {
      h = m_headings[known];
    } else {
      h.line = entry.line;
      h.index = -1;
    }
    headings.push_back(std::move(h));
    titles.push_back(entry.title.empty() ? QString() : QString::fromStdString(entry.title));
  }
  m_headings = std::move(headings);
  m_titles = std::move(titles);
  m_checked.assign(m_headings.size(), true);
  FindOutliers();
  endResetModel();
  Changed();
}

std::vector<std::int64_t> CHeadingListModel::ChapterNumbers(const std::vector<int>& rows) const {
  std::vector<std::int64_t> numbers;
  std::vector<int> sorted = rows;
  std::sort(sorted.begin(), sorted.end());
  std::int64_t chapter = 0;
  std::size_t next = 0;
  for (int row = 0; row < rowCount() && next < sorted.size(); ++row) {
    if (m_checked[static_cast<std::size_t>(row)]) ++chapter;
    if (row == sorted[next]) {
      if (m_checked[static_cast<std::size_t>(row)]) numbers.push_back(chapter);
      ++next;
    }
  }
  return numbers;
}

std::int64_t CHeadingListModel::CheckedCount() const {
  return std::count(m_checked.begin(), m_checked.end(), true);
}

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
          return h.index > 0 ? QVariant::fromValue<qlonglong>(h.index)
                             : QVariant(QStringLiteral("+"));
        case kTitle:
          if (!m_titles[static_cast<std::size_t>(index.row())].isNull()) {
            return m_titles[static_cast<std::size_t>(index.row())];
          }
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
    case Qt::EditRole:
      return index.column() == kTitle ? data(index, Qt::DisplayRole) : QVariant();
    case Qt::CheckStateRole:
      if (index.column() != kIndex) return {};
      return m_checked[static_cast<std::size_t>(index.row())] ? Qt::Checked : Qt::Unchecked;
    case Qt::TextAlignmentRole:
      return index.column() == kTitle || index.column() == kFile
                 ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                 : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::BackgroundRole:
      return mark != m_marks.end() || IsOutlier(index.row()) ? QVariant(MarkColor()) : QVariant();
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
  static const char* const kNames[kColumns] = {QT_TR_NOOP("序号"), QT_TR_NOOP("章节标题"),
                                               QT_TR_NOOP("行号"), QT_TR_NOOP("大小"),
                                               QT_TR_NOOP("文件")};
  return section >= 0 && section < kColumns ? tr(kNames[section]) : QString();
}

}  // namespace sekato::ui

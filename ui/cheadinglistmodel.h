#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <map>
#include <string>
#include <vector>

#include "sekato/scanresult.h"

namespace sekato::ui {

/// The headings of an inspection as a table: 序号, 章节标题, 行号, 大小, 文件. Rows whose
/// chapter number is missing before them, repeated or out of order are tinted, with the
/// reason as tooltip. Titles are converted from the book's text only when a row is shown, so a book
/// of many thousand chapters opens at once.
class CHeadingListModel final : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { kIndex, kTitle, kLine, kSize, kFile, kColumns };

  /// The tint of a marked row.
  static QColor MarkColor();

  /// `text` is the encoding of the titles (the inspection's textEncoding).
  CHeadingListModel(std::vector<engine::ScannedHeading> headings,
                    std::map<std::int64_t, std::string> marks,
                    engine::Encoding text = engine::Encoding::Gbk, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  std::vector<engine::ScannedHeading> m_headings;
  std::map<std::int64_t, std::string> m_marks;  ///< UTF-8, by line
  engine::Encoding m_text;
};

}  // namespace sekato::ui

#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <map>
#include <string>
#include <vector>

#include "sekato/chapterlist.h"
#include "sekato/scanresult.h"

namespace sekato::ui {

/// The headings of an inspection as a table: 序号, 章节标题, 行号, 大小, 文件. Rows whose
/// chapter number is missing before them, repeated or out of order are tinted, with the
/// reason as tooltip. Titles are converted from the book's text only when a row is shown, so a book
/// of many thousand chapters opens at once.
///
/// The list can be edited: each row's check box (in 序号) says "this line is a heading", a
/// title can be retyped, and a line can be inserted as a heading of its own. List() gives
/// what a split by the edited list cuts at; ListChanged tells every edit.
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

  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  /// How SetChecked changes the rows it is given.
  enum class Check { All, None, Invert };
  void SetChecked(const std::vector<int>& rows, Check how);
  bool IsChecked(int row) const { return m_checked[static_cast<std::size_t>(row)]; }
  /// Inserts `line` as a heading, in line order; false when it is listed already or below 1.
  /// Returns its row in `row`.
  bool InsertLine(std::int64_t line, int& row);
  /// The checked rows as a chapter list: their lines and, where retyped, their titles.
  engine::ChapterList List() const;
  /// Replaces the rows with `list`'s lines, every one checked; rows already shown keep what
  /// the inspection found for them.
  void SetList(const engine::ChapterList& list);
  /// The chapter number (from 1, among the checked rows) of each of `rows` that is checked.
  std::vector<std::int64_t> ChapterNumbers(const std::vector<int>& rows) const;
  /// Checked rows: the chapters a split by List() has.
  std::int64_t CheckedCount() const;
  /// Rows whose chapter is ten times the median size or more, or tiny: tinted as marked.
  bool IsOutlier(int row) const;
  /// Source bytes of the chapter on `row` (0 for an inserted line, until split).
  std::int64_t Size(int row) const { return m_headings[static_cast<std::size_t>(row)].size; }
  /// The line `row` starts on.
  std::int64_t Line(int row) const { return m_headings[static_cast<std::size_t>(row)].line; }
  /// True once anything was edited.
  bool Edited() const { return m_bEdited; }

 signals:
  void ListChanged();

 private:
  void Changed();
  void FindOutliers();
  std::vector<bool> m_checked;
  std::vector<QString> m_titles;  ///< retyped titles; null when not retyped
  std::vector<bool> m_outliers;
  bool m_bEdited = false;

  std::vector<engine::ScannedHeading> m_headings;
  std::map<std::int64_t, std::string> m_marks;  ///< UTF-8, by line
  engine::Encoding m_text;
};

}  // namespace sekato::ui

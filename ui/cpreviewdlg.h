#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

#include "sekato/chapterlist.h"
#include "sekato/chapterselection.h"
#include "sekato/scanresult.h"

class QBoxLayout;
class QLabel;
class QPushButton;
class QTableView;
class QVBoxLayout;

namespace sekato::ui {

class CHeadingListModel;

/// What a chapter split with the form's options would find, before anything is written: the
/// summary, the headings (CHeadingListModel), the numbering issues, and each hint of the
/// report with a button that puts its keywords or title size into the form.
///
/// The list is an editor (see CHeadingListModel): rows are checked, retitled or inserted,
/// saved and loaded as the JSON `sekato-cli --list --json` writes and `--toc` reads, and the
/// book is split by the list as shown, by the rows selected only, or joined into one file.
///
/// Object names for tests: the table "headings", the report "report", hint buttons "hint0",
/// "hint1", …, the piece count "pieces", and the buttons "insert", "checkAll", "checkNone",
/// "invert", "export", "import", "splitByList", "splitSelected", "join".
class CPreviewDlg final : public QDialog {
  Q_OBJECT

 public:
  /// `sourcePath` (file-system bytes) is the book listed, `perFile` its chapters a piece.
  explicit CPreviewDlg(const engine::ScanResult& result, QWidget* parent = nullptr,
                       std::string sourcePath = {}, std::int64_t perFile = 1);

  QTableView* Table() const { return m_pTable; }
  CHeadingListModel* Model() const { return m_pModel; }

  /// The list as shown, tied to its book by size and hash.
  engine::ChapterList List() const;
  /// Writes List() as JSON, as --list --json does for the fields --toc reads; false with
  /// `error` set when the file cannot be written.
  bool ExportTo(const QString& path, QString& error) const;
  /// Reads a list written by ExportTo or --list --json (or a plain LINE[<TAB>TITLE] list)
  /// into the table; false with `error` saying why and where.
  bool ImportFrom(const QString& path, QString& error);
  /// Shows what detection found in the book under the summary: its rule and the
  /// alternatives, each with a button ("rule0" for the rule, "rule1"… for the alternatives)
  /// that chooses it for the form.
  void ShowDetection(const engine::HeadingDetection& detection);

 signals:
  /// 按此目录分割, 只导出选中章节 or 合并为一个文件: split the book by `list`, writing the
  /// chapters `chosen` (every one when empty), joined into one file when `join`.
  void SplitByList(const engine::ChapterList& list, const engine::ChapterSelection& chosen,
                   bool join);
  /// Closed with changes, and the user asked to keep them for the next 开始分割.
  void KeepList(const engine::ChapterList& list);

 signals:
  /// A hint's button was pressed: `keywords` (UTF-8, empty to keep them) and `titleMax`
  /// (0 to keep it) belong into the form. The dialog closes after it.
  void HintApplied(const QString& keywords, std::int64_t titleMax);
  /// A detected rule's button was pressed: headings go by `pattern` (UTF-8), or by
  /// detection itself when it is empty. The dialog closes after it.
  void RuleChosen(const QString& pattern);

 public slots:
  void reject() override;

 private:
  // The dialog's rows, top to bottom, as the constructor adds them to `layout`.
  void AddHeadings(const engine::ScanResult& result, QVBoxLayout* layout);
  void SizeColumns();
  void AddEditRow(QVBoxLayout* layout);
  void AddRunRow(QVBoxLayout* layout);
  void AddReport(const engine::ScanResult& result, QVBoxLayout* layout);
  void AddHints(const engine::ScanResult& result, QVBoxLayout* layout);
  /// A button named `name` showing `text` translated, at the end of `row`.
  QPushButton* AddButton(const char* name, const char* text, QBoxLayout* row);

  std::vector<int> SelectedRows() const;
  void UpdatePieces();
  void InsertHeading();
  /// A small view of the source's lines from `row`'s on, where a line can be made a heading.
  void ShowLines(int row);
  void Split(bool selectedOnly, bool join);
  /// Keeps the dialog within the available area of its parent's screen.
  void FitToScreen();

  QTableView* m_pTable;
  CHeadingListModel* m_pModel = nullptr;
  QLabel* m_pPieces = nullptr;
  std::string m_strSource;
  std::int64_t m_nSourceBytes = 0;
  std::int64_t m_nPerFile = 1;
  engine::Encoding m_sourceEncoding = engine::Encoding::Gbk;
  bool m_bSplit = false;  ///< a split by the list was asked for: nothing left to keep
};

}  // namespace sekato::ui

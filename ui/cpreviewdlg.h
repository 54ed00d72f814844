#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>

#include "sekato/scanresult.h"

class QTableView;

namespace sekato::ui {

/// What a chapter split with the form's options would find, before anything is written: the
/// summary, the headings (CHeadingListModel), the numbering issues, and each hint of the
/// report with a button that puts its keywords or title size into the form.
///
/// Object names for tests: the table "headings", the report "report", hint buttons "hint0",
/// "hint1", ….
class CPreviewDlg final : public QDialog {
  Q_OBJECT

 public:
  explicit CPreviewDlg(const engine::ScanResult& result, QWidget* parent = nullptr);

  QTableView* Table() const { return m_pTable; }

 signals:
  /// A hint's button was pressed: `keywords` (UTF-8, empty to keep them) and `titleMax`
  /// (0 to keep it) belong into the form. The dialog closes after it.
  void HintApplied(const QString& keywords, std::int64_t titleMax);

 private:
  /// Keeps the dialog within the available area of its parent's screen.
  void FitToScreen();

  QTableView* m_pTable;
};

}  // namespace sekato::ui

#pragma once

#include <QDialog>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <vector>

#include "sekato/splitoptions.h"
#include "sekato/texttransform.h"

class QDialogButtonBox;
class QLabel;
class QPushButton;
class QTableWidget;
class QVBoxLayout;

namespace sekato::ui {

class CRuleCounter;

/// 替换规则: the replacement rules' editor. A table of rules (pattern, replacement; an
/// empty replacement deletes what the pattern finds) in the order they are applied, each with
/// how many times it matches in the chosen book, counted in the background ("…" meanwhile).
/// Rules are added, removed, moved, imported from and exported to a rules file (the command
/// line's `--rules` file: one rule a line, UTF-8, "#" comments).
///
/// A pattern PCRE2 refuses is marked red with the reason, and OK waits until it is put
/// right; a row whose pattern and replacement are both empty is no rule and is left out.
class CReplaceRulesDlg final : public QDialog {
  Q_OBJECT

 public:
  /// Where 导入… and 导出… read and write; tests give their own so that no dialog opens.
  struct Choosers {
    std::function<QString(QWidget*)> importFile;
    std::function<QString(QWidget*)> exportFile;
    static Choosers Dialogs();
  };

  /// The columns of the table.
  static constexpr int kPattern = 0;
  static constexpr int kReplacement = 1;
  static constexpr int kCount = 2;

  /// Edits `rules`; counts them in `book` (its source and encoding), unless it names none.
  CReplaceRulesDlg(const std::vector<engine::ReplaceRuleText>& rules,
                   const engine::SplitOptions& book, QWidget* parent = nullptr);
  ~CReplaceRulesDlg() override;

  void SetChoosers(Choosers choosers) { m_choosers = std::move(choosers); }

  /// The rules of the table, in order, numbered 1, 2, … as they are shown.
  std::vector<engine::ReplaceRuleText> Rules() const;

  /// Adds the rules of the rules file `path` after those of the table. False, after saying
  /// why (a bad pattern with its line and PCRE2's reason), when it cannot be read or used:
  /// the table is then left as it was.
  bool Import(const QString& path);
  /// Writes the table's rules to `path` as a rules file; false after saying why.
  bool Export(const QString& path);

  /// The rules file's text for `rules`, read back by the command line as the same rules. A
  /// "=>" inside a pattern is written "=\>" and a pattern's leading "#" as "\#", which PCRE2
  /// reads as the same characters.
  static QString FileText(const std::vector<engine::ReplaceRuleText>& rules);

  /// True when every rule can be used (OK is enabled).
  bool RulesValid() const { return m_bValid; }

  void accept() override;

 private:
  // The construction's steps, each making its part of the dialog.
  void SetUpCounting();
  void MakeTable();
  void MakeProblemLine();
  QVBoxLayout* MakeSideButtons();
  QDialogButtonBox* MakeButtonBox();
  /// A button showing `text`, named `name`, that Enter does not press.
  QPushButton* MakeButton(const QString& text, const char* name);
  /// Puts `rules` into the table, then checks them.
  void Fill(const std::vector<engine::ReplaceRuleText>& rules);

  void AddRow(const QString& pattern, const QString& replacement);
  void OnAdd();
  void OnRemove();
  void MoveCurrent(int by);
  void OnImport();
  void OnExport();
  /// Marks the rules that cannot be used and enables OK when there is none; then counts.
  void CheckRules();
  void ShowCounts(const std::vector<std::int64_t>& counts, bool ok);
  void FitToScreen();

  QTableWidget* m_pTable = nullptr;
  QLabel* m_pProblem = nullptr;
  QPushButton* m_pOk = nullptr;
  QPushButton* m_pRemove = nullptr;
  QPushButton* m_pUp = nullptr;
  QPushButton* m_pDown = nullptr;
  Choosers m_choosers;
  engine::SplitOptions m_book;
  CRuleCounter* m_pCounter = nullptr;
  QTimer m_recount;                // counts once the typing has paused
  std::vector<int> m_countedRows;  // the table row of each rule counted
  bool m_bFilling = false;         // the table is being filled by the dialog itself
  bool m_bValid = true;
};

}  // namespace sekato::ui

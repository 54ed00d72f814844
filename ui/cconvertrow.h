#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <vector>

#include "cformtemplate.h"
#include "sekato/splitoptions.h"

class QWidget;

namespace sekato::ui {

class CReplaceRulesDlg;

/// The form's line for the text itself: 简繁转换 and 替换规则…. Owns the replacement rules
/// (remembered between runs under "replaceRules"), shows how many are active, opens their
/// editor, puts both into a split's options, and before a run asks when the pieces'
/// encoding cannot hold what the conversion writes.
class CConvertRow final : public QObject {
  Q_OBJECT

 public:
  /// `book` gives the form's options as they stand, for counting the rules in its source.
  CConvertRow(const CFormTemplate::Fields& fields, std::function<engine::SplitOptions()> book,
              QWidget* form);
  ~CConvertRow() override;

  /// The conversion and the rules into `options`; rules are numbered 1, 2, … as the editor
  /// shows them, which is how a refusal names them.
  void ApplyTo(engine::SplitOptions& options) const;

  const std::vector<engine::ReplaceRuleText>& Rules() const { return m_rules; }
  /// Makes `rules` the active ones, shows their count and remembers them.
  void SetRules(std::vector<engine::ReplaceRuleText> rules);

  /// Before writing `runs`: when a conversion writes a script their encoding cannot hold
  /// (繁体→简体 into Big5 pieces, or into a Big5 source's own encoding), says so and offers
  /// UTF-8. True to go on, with every run (and the form) set to UTF-8 when that was chosen;
  /// false when the user cancels.
  bool ConfirmFit(std::vector<engine::SplitOptions>& runs);
  bool ConfirmFit(engine::SplitOptions& options);

  /// Opens the editor over the form (it is not waited for); OK makes its rules active.
  void OpenEditor();
  /// The editor while it is open, else null.
  CReplaceRulesDlg* Editor() const;

  /// The rules remembered in the settings.
  static std::vector<engine::ReplaceRuleText> LoadRules();

 signals:
  /// The active rules changed (the editor was closed with OK).
  void RulesChanged();

 private:
  void ShowCount();

  const CFormTemplate::Fields& m_f;
  std::function<engine::SplitOptions()> m_book;
  QWidget* m_pForm;
  std::vector<engine::ReplaceRuleText> m_rules;
  QPointer<CReplaceRulesDlg> m_pEditor;
};

}  // namespace sekato::ui

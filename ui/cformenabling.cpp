#include "cformenabling.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <utility>

#include "cformoptions.h"
#include "enginemessages.h"
#include "fieldsetters.h"
#include "sekato/headingrulecheck.h"

namespace sekato::ui {

CFormEnabling::CFormEnabling(const CFormTemplate::Fields& fields, const QString& source,
                             std::function<void(bool)> ruleValid)
    : m_f(fields), m_strSource(source), m_ruleValid(std::move(ruleValid)) {
  ConnectControls();
}

void CFormEnabling::ConnectControls() {
  const auto on = [this](QAbstractButton* button, void (CFormEnabling::*handler)()) {
    connect(button, &QAbstractButton::clicked, this, handler);
  };
  on(m_f.dirNew, &CFormEnabling::OnDirNew);
  on(m_f.dirBeside, &CFormEnabling::OnDirBesideSource);
  on(m_f.nameCustom, &CFormEnabling::OnNameCustom);
  on(m_f.nameChapter, &CFormEnabling::OnNameAuto);
  on(m_f.nameSource, &CFormEnabling::OnNameAuto);
  on(m_f.modeChapter, &CFormEnabling::OnModeChapter);
  on(m_f.modeSize, &CFormEnabling::OnModeSize);
  on(m_f.modeEven, &CFormEnabling::OnModeEven);
  on(m_f.addHead, &CFormEnabling::OnAddHead);
  on(m_f.addTail, &CFormEnabling::OnAddTail);
  // Any change of the choice, by the user or by the form itself, shows the fields it needs.
  connect(m_f.headingRule, &QComboBox::currentIndexChanged, this, &CFormEnabling::OnHeadingRule);
  connect(m_f.regex, &QLineEdit::textChanged, this, &CFormEnabling::CheckRule);
  connect(m_f.splitMode, &QButtonGroup::idToggled, this, &CFormEnabling::CheckRule);
}

void CFormEnabling::EnableItems(std::initializer_list<QWidget*> controls, bool bEnable) {
  for (QWidget* control : controls) control->setEnabled(bEnable);
}

void CFormEnabling::OnDirNew() {
  EnableItems({m_f.newDir, m_f.browseFolder}, true);
  if (m_f.newDir->text().isEmpty()) {
    FieldSetters::SetText(m_f.newDir, CFormOptions::SourceBase(m_strSource));
  }
}

void CFormEnabling::OnDirBesideSource() { EnableItems({m_f.newDir, m_f.browseFolder}, false); }

void CFormEnabling::OpenNewFolder() {
  FieldSetters::SetRadio(m_f.dirMode, 0);
  EnableItems({m_f.newDir, m_f.browseFolder}, true);
}

void CFormEnabling::OnNameCustom() { EnableItems({m_f.customName}, true); }

void CFormEnabling::OnNameAuto() { EnableItems({m_f.customName}, false); }

void CFormEnabling::OnModeChapter() { EnableModeFields(0); }

void CFormEnabling::OnModeSize() { OnModeWithoutChapters(1); }

void CFormEnabling::OnModeEven() { OnModeWithoutChapters(2); }

void CFormEnabling::OnModeWithoutChapters(int nMode) {
  EnableModeFields(nMode);
  // Names by chapter title need chapters.
  if (m_f.nameChapter->isChecked()) FieldSetters::SetRadio(m_f.nameMode, 0);
}

void CFormEnabling::ChooseChapterMode() {
  if (m_f.modeChapter->isChecked()) return;
  m_f.modeChapter->setChecked(true);
  EnableModeFields(0);
}

void CFormEnabling::OnHeadingRule() {
  const int rule = m_f.headingRule->currentIndex();
  for (QWidget* keywordField :
       {static_cast<QWidget*>(m_f.keywords), static_cast<QWidget*>(m_f.numeralsLabel),
        static_cast<QWidget*>(m_f.numerals)}) {
    keywordField->setVisible(rule == CFormOptions::kRuleKeywords);
  }
  m_f.regex->setVisible(rule == CFormOptions::kRuleRegex);
  CheckRule();
}

void CFormEnabling::CheckRule() {
  const bool byRule =
      m_f.headingRule->currentIndex() == CFormOptions::kRuleRegex && m_f.modeChapter->isChecked();
  QString problem;
  if (byRule && m_f.regex->text().isEmpty()) {
    problem = tr("请输入标题的正则表达式。");
  } else if (byRule) {
    if (auto refusal = engine::HeadingRuleCheck::Refusal(m_f.regex->text().toStdString())) {
      problem = EngineMessages::Text(*refusal);
    }
  }
  QPalette palette = m_f.regex->palette();
  palette.setColor(QPalette::Text, problem.isEmpty() ? m_f.keywords->palette().color(QPalette::Text)
                                                     : QColor(Qt::red));
  m_f.regex->setPalette(palette);
  m_f.regex->setToolTip(problem);
  m_f.regex->setAccessibleDescription(problem);
  m_ruleValid(problem.isEmpty());
}

void CFormEnabling::EnableModeFields(int nMode) {
  EnableItems({m_f.nameChapter, m_f.keywords, m_f.titleMax, m_f.chaptersPerFile, m_f.headingRule,
               m_f.regex},
              nMode == 0);
  EnableItems({m_f.maxKB, m_f.keepLines}, nMode == 1);
  EnableItems({m_f.parts}, nMode == 2);
}

void CFormEnabling::OnAddHead() { EnableItems({m_f.head}, m_f.addHead->isChecked()); }

void CFormEnabling::OnAddTail() { EnableItems({m_f.tail}, m_f.addTail->isChecked()); }

}  // namespace sekato::ui

#include "cdataexchange.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "cformtemplate.h"

namespace sekato::ui {

void DDX_Control(CDataExchange* pDX, int nIDC, QComboBox*& rControl) {
  rControl = qobject_cast<QComboBox*>(pDX->Form().Item(nIDC));
}

void DDX_Text(CDataExchange* pDX, int nIDC, QString& value) {
  auto* edit = qobject_cast<QLineEdit*>(pDX->Form().Item(nIDC));
  if (edit == nullptr) return;
  if (pDX->m_bSaveAndValidate) {
    value = edit->text();
  } else if (edit->text() != value) {
    edit->setText(value);
    edit->setCursorPosition(0);  // a long path shows its beginning, as a fresh edit field does
  }
}

void DDX_Check(CDataExchange* pDX, int nIDC, bool& value) {
  auto* check = qobject_cast<QCheckBox*>(pDX->Form().Item(nIDC));
  if (check == nullptr) return;
  if (pDX->m_bSaveAndValidate) {
    value = check->isChecked();
  } else {
    check->setChecked(value);
  }
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value) {
  QButtonGroup* group = pDX->Form().RadioGroup(nIDC);
  if (group == nullptr) return;
  if (pDX->m_bSaveAndValidate) {
    value = group->checkedId();  // −1 when none
    return;
  }
  QAbstractButton* target = group->button(value);
  if (target != nullptr) {
    target->setChecked(true);
    return;
  }
  // An exclusive group refuses to uncheck its last checked button; lift that for a moment.
  group->setExclusive(false);
  for (QAbstractButton* button : group->buttons()) button->setChecked(false);
  group->setExclusive(true);
}

}  // namespace sekato::ui

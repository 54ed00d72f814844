#include "fieldsetters.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QLineEdit>

namespace sekato::ui {

void FieldSetters::SetText(QLineEdit* edit, const QString& text) {
  if (edit->text() == text) return;
  edit->setText(text);
  edit->setCursorPosition(0);  // a long text shows its beginning, as a fresh field does
}

void FieldSetters::SetRadio(QButtonGroup* group, int index) {
  if (QAbstractButton* target = group->button(index)) {
    target->setChecked(true);
    return;
  }
  // An exclusive group refuses to uncheck its last checked button; lift that for a moment.
  group->setExclusive(false);
  for (QAbstractButton* button : group->buttons()) button->setChecked(false);
  group->setExclusive(true);
}

}  // namespace sekato::ui

#include "formsnapshot.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QWidget>

namespace sekato::ui {

FormSnapshot FormSnapshot::Of(const QWidget* form, const QList<const QWidget*>& leaveOut) {
  FormSnapshot snapshot;
  for (const QLineEdit* edit : form->findChildren<QLineEdit*>()) {
    // A combo box's own line edit is the combo's; read-only fields are the form's to fill.
    if (edit->objectName().isEmpty() || edit->isReadOnly()) continue;
    snapshot.m_values.insert(edit->objectName(), edit->text());
  }
  for (const QComboBox* combo : form->findChildren<QComboBox*>()) {
    if (!combo->objectName().isEmpty()) {
      snapshot.m_values.insert(combo->objectName(), combo->currentIndex());
    }
  }
  for (const QAbstractButton* button : form->findChildren<QAbstractButton*>()) {
    if (!button->objectName().isEmpty() && button->isCheckable()) {
      snapshot.m_values.insert(button->objectName(), button->isChecked());
    }
  }
  for (const QWidget* field : leaveOut) {
    if (field != nullptr) snapshot.m_values.remove(field->objectName());
  }
  return snapshot;
}

QVariantMap FormSnapshot::ToMap() const {
  QVariantMap map;
  for (auto it = m_values.cbegin(); it != m_values.cend(); ++it) map.insert(it.key(), it.value());
  return map;
}

FormSnapshot FormSnapshot::FromMap(const QVariantMap& map) {
  FormSnapshot snapshot;
  for (auto it = map.cbegin(); it != map.cend(); ++it) snapshot.m_values.insert(it.key(), it.value());
  return snapshot;
}

void FormSnapshot::ApplyTo(QWidget* form) const {
  // Choices first: they decide which fields are enabled and shown.
  for (QAbstractButton* button : form->findChildren<QAbstractButton*>()) {
    const QVariant value = m_values.value(button->objectName());
    if (!button->isCheckable() || !value.isValid() || value.toBool() == button->isChecked()) {
      continue;
    }
    // A radio button is switched on by clicking it; switching one off is its group's job.
    if (value.toBool() || qobject_cast<QRadioButton*>(button) == nullptr) button->click();
  }
  for (QComboBox* combo : form->findChildren<QComboBox*>()) {
    const QVariant value = m_values.value(combo->objectName());
    if (!value.isValid()) continue;
    const int index = value.toInt();
    if (index < 0 || index >= combo->count() || index == combo->currentIndex()) continue;
    combo->setCurrentIndex(index);
    emit combo->activated(index);
  }
  for (QLineEdit* edit : form->findChildren<QLineEdit*>()) {
    const QVariant value = m_values.value(edit->objectName());
    if (value.isValid() && !edit->isReadOnly()) edit->setText(value.toString());
  }
}

}  // namespace sekato::ui

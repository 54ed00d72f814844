#pragma once

#include <QHash>
#include <QString>
#include <QVariant>

class QWidget;

namespace sekato::ui {

/// What the user has put into a form, by the object names of its fields, so that a form
/// built anew (in another language) can be given it back.
///
/// Kept: the text of every editable line field, the choice of every combo box and whether
/// every check box and radio button is on. Given back as the user would give it, by clicks
/// and activations, so that the form enables and hides its fields as it does for the user.
/// Fields without an object name, or missing from the new form, are left alone.
class FormSnapshot final {
 public:
  static FormSnapshot Of(const QWidget* form);
  void ApplyTo(QWidget* form) const;

  bool IsEmpty() const { return m_values.isEmpty(); }

 private:
  QHash<QString, QVariant> m_values;
};

}  // namespace sekato::ui

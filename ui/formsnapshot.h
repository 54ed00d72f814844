#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>
#include <QVariantMap>

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
  /// What `form` holds, but for the fields in `leaveOut` (those of one book, say).
  static FormSnapshot Of(const QWidget* form, const QList<const QWidget*>& leaveOut = {});
  void ApplyTo(QWidget* form) const;

  /// The snapshot as values by object name, to keep in the user's settings, and back.
  /// A map from elsewhere (an older program's settings) gives back only what fits: names the
  /// form does not have, and values of the wrong kind, are left alone by ApplyTo.
  QVariantMap ToMap() const;
  static FormSnapshot FromMap(const QVariantMap& map);

  bool IsEmpty() const { return m_values.isEmpty(); }

 private:
  QHash<QString, QVariant> m_values;
};

}  // namespace sekato::ui

#pragma once

#include <QString>

class QButtonGroup;
class QLineEdit;

namespace sekato::ui {

/// Puts values into the form's fields the way the form itself does, so that a field set by
/// code looks like one the user filled in.
class FieldSetters final {
 public:
  /// Sets `edit` to `text` unless it holds it already; a long text shows its beginning, as a
  /// fresh field does.
  static void SetText(QLineEdit* edit, const QString& text);
  /// Checks the button `index` of `group`; −1 (or an index past the group) leaves the group
  /// with no button checked.
  static void SetRadio(QButtonGroup* group, int index);
};

}  // namespace sekato::ui

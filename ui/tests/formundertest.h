#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <memory>

#include "csekatoview.h"

class QAbstractButton;
class QLineEdit;

namespace sekato::ui::test {

/// The splitter form on its own, as the form's tests drive it: its choosers answer with
/// `chosenSource` and `chosenFolder`, where empty is a chooser cancelled.
class FormUnderTest final {
 public:
  /// A new form after its initial update; given a `source`, it is chosen with the source
  /// chooser as the user would.
  std::unique_ptr<CSekatoView> NewView(const QString& source = {});
  /// Both choosers cancelled again.
  void Reset();

  /// Every control with an id.
  static const QStringList& AllIds();
  /// The controls the form starts with disabled.
  static const QStringList& StartDisabled();
  /// Whether each of AllIds is enabled in `view`, by id.
  static QMap<QString, bool> EnabledStates(const CSekatoView& view);

  QString chosenSource;
  QString chosenFolder;
};

/// The form's edit field or button named `id`, or null.
QLineEdit* Edit(const CSekatoView& view, const QString& id);
QAbstractButton* Button(const CSekatoView& view, const QString& id);

}  // namespace sekato::ui::test

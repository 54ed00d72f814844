#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace sekato::controls {

/// The program's one kind of message: a modal box with an OK button, the application's name
/// ("sekato") as caption and the exclamation icon. Returns once the user has dismissed it.
///
/// Tests replace the box with a handler (SetHandler) so that nothing waits for a click.
class AppMessageBox final {
 public:
  using Handler = std::function<void(QWidget* parent, const QString& text)>;

  /// Shows `text`; must be called on the user-interface thread.
  static void Show(QWidget* parent, const QString& text);

  /// Replaces the box by `handler` (an empty handler restores the box); returns the old one.
  static Handler SetHandler(Handler handler);
};

}  // namespace sekato::controls

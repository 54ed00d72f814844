#pragma once

#include <QString>
#include <QStringList>
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

  /// Picks a button of a box with actions in tests: gets the text and the action buttons,
  /// returns the index of the one to press, or -1 for OK.
  using Chooser = std::function<int(const QString& text, const QStringList& actions)>;

  /// Shows `text`; must be called on the user-interface thread.
  static void Show(QWidget* parent, const QString& text);

  /// Shows `text` with a button for each of `actions` beside OK; returns the index of the
  /// action pressed, or -1 when the box was closed with OK. Each button closes the box.
  static int ShowWithActions(QWidget* parent, const QString& text, const QStringList& actions);

  /// Asks `text` with a button for each of `choices` and no OK: the last choice is the one
  /// that leaves things as they are (Esc and closing the box choose it). Returns the index of
  /// the choice. In tests the chooser picks; -1 from it chooses the last.
  static int Ask(QWidget* parent, const QString& text, const QStringList& choices);

  /// Replaces the box by `handler` (an empty handler restores the box); returns the old one.
  static Handler SetHandler(Handler handler);

  /// While a handler stands in for the box, `chooser` picks the button (an empty chooser
  /// presses OK); returns the old one.
  static Chooser SetChooser(Chooser chooser);
};

}  // namespace sekato::controls

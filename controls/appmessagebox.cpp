#include "appmessagebox.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <utility>

namespace sekato::controls {

namespace {
AppMessageBox::Handler& CurrentHandler() {
  static AppMessageBox::Handler handler;
  return handler;
}
AppMessageBox::Chooser& CurrentChooser() {
  static AppMessageBox::Chooser chooser;
  return chooser;
}
}  // namespace

int AppMessageBox::ShowWithActions(QWidget* parent, const QString& text,
                                   const QStringList& actions) {
  if (const auto& handler = CurrentHandler()) {
    handler(parent, text);
    const auto& chooser = CurrentChooser();
    return chooser ? chooser(text, actions) : -1;
  }
  QMessageBox box(QMessageBox::Warning, QCoreApplication::applicationName(), text, QMessageBox::Ok,
                  parent);
  QList<QAbstractButton*> buttons;
  for (const QString& action : actions) buttons << box.addButton(action, QMessageBox::ActionRole);
  box.setDefaultButton(QMessageBox::Ok);
  // With action buttons beside it Qt finds no button for Esc by itself.
  box.setEscapeButton(box.button(QMessageBox::Ok));
  box.exec();
  return static_cast<int>(buttons.indexOf(box.clickedButton()));
}

int AppMessageBox::Ask(QWidget* parent, const QString& text, const QStringList& choices) {
  const auto last = static_cast<int>(choices.size()) - 1;
  if (const auto& handler = CurrentHandler()) {
    handler(parent, text);
    const auto& chooser = CurrentChooser();
    const int chosen = chooser ? chooser(text, choices) : -1;
    return chosen < 0 || chosen > last ? last : chosen;
  }
  QMessageBox box(QMessageBox::Question, QCoreApplication::applicationName(), text,
                  QMessageBox::NoButton, parent);
  QList<QAbstractButton*> buttons;
  for (const QString& choice : choices) {
    buttons << box.addButton(
        choice, buttons.size() == last ? QMessageBox::RejectRole : QMessageBox::AcceptRole);
  }
  if (!buttons.isEmpty()) {
    box.setDefaultButton(qobject_cast<QPushButton*>(buttons.front()));
    box.setEscapeButton(buttons.back());
  }
  box.exec();
  const auto chosen = static_cast<int>(buttons.indexOf(box.clickedButton()));
  return chosen < 0 ? last : chosen;
}

AppMessageBox::Chooser AppMessageBox::SetChooser(Chooser chooser) {
  return std::exchange(CurrentChooser(), std::move(chooser));
}

void AppMessageBox::Show(QWidget* parent, const QString& text) {
  ShowWithActions(parent, text, {});
}

AppMessageBox::Handler AppMessageBox::SetHandler(Handler handler) {
  return std::exchange(CurrentHandler(), std::move(handler));
}

}  // namespace sekato::controls

#include "appmessagebox.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <utility>

namespace sekato::controls {

namespace {
AppMessageBox::Handler& CurrentHandler() {
  static AppMessageBox::Handler handler;
  return handler;
}
}  // namespace

void AppMessageBox::Show(QWidget* parent, const QString& text) {
  if (const auto& handler = CurrentHandler()) {
    handler(parent, text);
    return;
  }
  QMessageBox box(QMessageBox::Warning, QCoreApplication::applicationName(), text,
                  QMessageBox::Ok, parent);
  box.exec();
}

AppMessageBox::Handler AppMessageBox::SetHandler(Handler handler) {
  return std::exchange(CurrentHandler(), std::move(handler));
}

}  // namespace sekato::controls

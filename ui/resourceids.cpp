#include "resourceids.h"

namespace sekato::ui {

QString BitmapResource(int id) {
  switch (id) {
    case IDR_MAINFRAME:
      return QStringLiteral(":/res/toolbar.bmp");
    case IDB_TOOLBAR_DISABLED:
      return QStringLiteral(":/res/toolbar_disabled.bmp");
    case IDB_ABOUT:
      return QStringLiteral(":/res/about.png");
    default:
      return {};
  }
}

}  // namespace sekato::ui

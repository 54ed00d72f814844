#include <QApplication>

#include "csekatoapp.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  sekato::ui::CSekatoApp theApp;
  if (!theApp.InitInstance(QApplication::arguments())) return 1;
  return QApplication::exec();
}

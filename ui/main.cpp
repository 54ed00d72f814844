#include <QApplication>
#include <csignal>

#include "csekatoapp.h"

int main(int argc, char* argv[]) {
  // Past a file-size limit a piece's write fails with EFBIG and the run reports it, naming
  // the piece, instead of the window vanishing.
  std::signal(SIGXFSZ, SIG_IGN);
  QApplication application(argc, argv);
  sekato::ui::CSekatoApp theApp;
  if (!theApp.InitInstance(QApplication::arguments())) return 1;
  return QApplication::exec();
}

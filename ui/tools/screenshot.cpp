// sekato-screenshot NAME OUT.png — renders one picture of the program for the documentation.
//
// Each shot is one entry of kShots: it builds what it shows with the real classes, waits until
// it is laid out and painted, and grabs it. A new picture (the About box, a help tip over the
// form, …) is a new entry. Run it under the offscreen platform or a virtual X server; the
// fonts are the system's, found through fontconfig (scripts/screenshot.sh does all this).
#include <QApplication>
#include <QEventLoop>
#include <QPixmap>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "cmainframe.h"
#include "csekatoapp.h"
#include "csekatoview.h"

namespace {

using sekato::ui::CSekatoApp;

void Settle(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

/// The main window as it opens, with a source file chosen.
bool ShotWindow(const QString& out) {
  CSekatoApp app;
  if (!app.InitInstance({QStringLiteral("sekato")})) return false;
  app.View()->ChooseSource(QStringLiteral("/home/reader/小说/三国演义.txt"));
  Settle(300);
  return app.MainFrame()->grab().save(out);
}

struct Shot {
  const char* name;
  const char* what;
  std::function<bool(const QString&)> take;
};

const Shot kShots[] = {
    {"window", "the main window with a source chosen", ShotWindow},
};

int Usage() {
  std::fprintf(stderr, "usage: sekato-screenshot NAME OUT.png\nshots:\n");
  for (const Shot& shot : kShots) std::fprintf(stderr, "  %-10s %s\n", shot.name, shot.what);
  return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  const QStringList args = QApplication::arguments();
  if (args.size() != 3) return Usage();
  for (const Shot& shot : kShots) {
    if (args[1] == QLatin1String(shot.name)) {
      if (shot.take(args[2])) return 0;
      std::fprintf(stderr, "sekato-screenshot: could not take '%s'\n", shot.name);
      return 1;
    }
  }
  return Usage();
}

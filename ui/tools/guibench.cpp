// sekato-guibench SOURCE OUTDIR [-m chapter|size|even] [-p N] [--kb N] [--parts N] [--no-ad]
//
// The window's side of bench/gui_vs_cli.sh: opens the real window (offscreen is fine) with
// SOURCE chosen, sets the options through the form's controls as a user would, presses Start
// and prints how long the split took until its completion message, in seconds.
#include <sys/resource.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QLineEdit>
#include <QRadioButton>
#include <algorithm>
#include <cstdio>

#include "appmessagebox.h"
#include "cmainframe.h"
#include "csekatoapp.h"
#include "csekatoview.h"
#include "csourcelook.h"
#include "sekato/messagecatalogue.h"

namespace {

using namespace sekato::ui;

// The form's control named `name` ("maxKb").
template <typename T>
T* Item(CSekatoView* view, const char* name) {
  return view->findChild<T*>(QString::fromLatin1(name));
}

int Usage() {
  std::fprintf(stderr,
               "usage: sekato-guibench SOURCE OUTDIR [-m chapter|size|even] [-k KEYWORDS] "
               "[--title-max N] [-p N] [--kb N] [--parts N] [--no-ad]\n");
  return 2;
}

// User and system time of the whole process so far, every thread included.
double ProcessCpuSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
  };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  const QStringList args = QApplication::arguments();
  if (args.size() < 3) return Usage();

  // A folder stands for every text file in it, split as a queue.
  QStringList books;
  if (QFileInfo(args[1]).isDir()) {
    const QDir folder(args[1]);
    for (const QString& name :
         folder.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name)) {
      books << folder.filePath(name);
    }
  }
  CSekatoApp app;
  if (!app.InitInstance({QStringLiteral("sekato"), books.isEmpty() ? args[1] : books.front()})) {
    return 1;
  }
  CSekatoView* view = app.View();
  if (books.size() > 1) view->ChooseSources(books);
  if (view->SourceFile().isEmpty()) {
    std::fprintf(stderr, "sekato-guibench: no such file: %s\n", qPrintable(args[1]));
    return 1;
  }
  Item<QRadioButton>(view, "dirNew")->click();
  Item<QLineEdit>(view, "newDir")->setText(args[2]);
  for (int i = 3; i < args.size(); ++i) {
    const QString& option = args[i];
    const QString value = i + 1 < args.size() ? args[i + 1] : QString();
    if (option == QLatin1String("--no-ad")) {
      Item<QCheckBox>(view, "noAd")->setChecked(true);
      continue;
    }
    ++i;
    if (option == QLatin1String("-m")) {
      const char* mode = value == QLatin1String("size")   ? "splitModeSize"
                         : value == QLatin1String("even") ? "splitModeEven"
                                                          : "splitModeChapter";
      Item<QRadioButton>(view, mode)->click();
    } else if (option == QLatin1String("-k")) {
      Item<QLineEdit>(view, "keywords")->setText(value);
    } else if (option == QLatin1String("--title-max")) {
      Item<QLineEdit>(view, "titleMax")->setText(value);
    } else if (option == QLatin1String("-p")) {
      Item<QLineEdit>(view, "chaptersPerFile")->setText(value);
    } else if (option == QLatin1String("--kb")) {
      Item<QLineEdit>(view, "maxKb")->setText(value);
    } else if (option == QLatin1String("--parts")) {
      Item<QLineEdit>(view, "parts")->setText(value);
    } else {
      return Usage();
    }
  }

  // The look at the chosen source runs in the background from the moment it is chosen, as
  // a user reads the form: the split is timed from Start, after it, like the command line's.
  view->SourceLook()->Wait();
  QEventLoop loop;
  QString message;
  qint64 elapsedMs = 0;
  double cpuSeconds = 0;
  QElapsedTimer timer;
  const double cpuAtStart = ProcessCpuSeconds();
  sekato::controls::AppMessageBox::SetHandler([&](QWidget*, const QString& text) {
    elapsedMs = timer.elapsed();
    cpuSeconds = ProcessCpuSeconds() - cpuAtStart;
    message = text;
    loop.quit();
  });
  timer.start();
  QAction* start = app.MainFrame()->StartAction();
  if (!start->isEnabled()) return 1;
  start->trigger();
  if (message.isEmpty()) loop.exec();
  std::printf("%.3f %.3f\n", static_cast<double>(elapsedMs) / 1000.0, cpuSeconds);
  // The completion message goes on with the count and the folder: its first line says how
  // the run ended.
  const auto completed =
      sekato::engine::MessageCatalogue::Chinese(sekato::engine::MessageId::Completed);
  if (view->Queue()->Count() > 1) {
    const auto& rows = view->Queue()->Rows();
    const bool allDone = std::all_of(rows.begin(), rows.end(), [](const CBookQueue::Row& row) {
      return row.state == CBookQueue::State::Done;
    });
    if (allDone) return 0;
    std::fprintf(stderr, "sekato-guibench: %s\n", qPrintable(message));
    return 1;
  }
  if (!message.startsWith(
          QString::fromUtf8(completed.data(), static_cast<qsizetype>(completed.size())))) {
    std::fprintf(stderr, "sekato-guibench: %s\n", qPrintable(message));
    return 1;
  }
  return 0;
}

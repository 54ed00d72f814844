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
#include <optional>

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

// The books `path` stands for: every text file in it when it is a folder, split as a queue;
// none when it is a file.
QStringList BooksIn(const QString& path) {
  QStringList books;
  if (!QFileInfo(path).isDir()) return books;
  const QDir folder(path);
  for (const QString& name : folder.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name)) {
    books << folder.filePath(name);
  }
  return books;
}

// Sets the options of `args` from its fourth on through the form's controls, as a user would;
// false at an option it does not know.
bool SetOptions(CSekatoView* view, const QStringList& args) {
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
      return false;
    }
  }
  return true;
}

// A split timed from Start to its closing message.
struct Timing {
  QString message;  ///< the closing message
  qint64 elapsedMs = 0;
  double cpuSeconds = 0;
};

// Presses Start and waits for the closing message; none when Start is disabled.
std::optional<Timing> TimeSplit(CSekatoApp& app) {
  QEventLoop loop;
  Timing timing;
  QElapsedTimer timer;
  const double cpuAtStart = ProcessCpuSeconds();
  sekato::controls::AppMessageBox::SetHandler([&](QWidget*, const QString& text) {
    timing.elapsedMs = timer.elapsed();
    timing.cpuSeconds = ProcessCpuSeconds() - cpuAtStart;
    timing.message = text;
    loop.quit();
  });
  timer.start();
  QAction* start = app.MainFrame()->StartAction();
  if (!start->isEnabled()) return std::nullopt;
  start->trigger();
  if (timing.message.isEmpty()) loop.exec();
  // Messages after the one timed (none are expected) go nowhere: what the handler filled in
  // is gone with this function.
  sekato::controls::AppMessageBox::SetHandler([](QWidget*, const QString&) {});
  return timing;
}

// The exit status of a split that closed with `message`: 0 when every book queued is done,
// or the one book's message says it completed; else 1, with the message on the error output.
int Outcome(CSekatoView* view, const QString& message) {
  // The completion message goes on with the count and the folder: its first line says how
  // the run ended.
  const auto completed =
      sekato::engine::MessageCatalogue::Chinese(sekato::engine::MessageId::Completed);
  bool done = false;
  if (view->Queue()->Count() > 1) {
    const auto& rows = view->Queue()->Rows();
    done = std::all_of(rows.begin(), rows.end(), [](const CBookQueue::Row& row) {
      return row.state == CBookQueue::State::Done;
    });
  } else {
    done = message.startsWith(
        QString::fromUtf8(completed.data(), static_cast<qsizetype>(completed.size())));
  }
  if (done) return 0;
  std::fprintf(stderr, "sekato-guibench: %s\n", qPrintable(message));
  return 1;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  const QStringList args = QApplication::arguments();
  if (args.size() < 3) return Usage();
  const QStringList books = BooksIn(args[1]);
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
  if (!SetOptions(view, args)) return Usage();
  // The look at the chosen source runs in the background from the moment it is chosen, as
  // a user reads the form: the split is timed from Start, after it, like the command line's.
  view->SourceLook()->Wait();
  const std::optional<Timing> timing = TimeSplit(app);
  if (!timing) return 1;
  std::printf("%.3f %.3f\n", static_cast<double>(timing->elapsedMs) / 1000.0, timing->cpuSeconds);
  return Outcome(view, timing->message);
}

// sekato-screenshot NAME OUT.png — renders one picture of the program for the documentation.
//
// Each shot is one entry of kShots: on the program as it starts, it builds what it shows with
// the real classes, waits until it is laid out and painted, and grabs it. A new picture (the About
// box, a help tip over the form, …) is a new entry. Run it under the offscreen platform or a
// virtual X server; the fonts are the system's, found through fontconfig (scripts/screenshot.sh
// does all this).
#include <QApplication>
#include <QColor>
#include <QEventLoop>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "caboutdlg.h"
#include "cmainframe.h"
#include "cpreviewdlg.h"
#include "csekatoapp.h"
#include "csekatoview.h"
#include "sekato/chapterscan.h"

namespace {

using sekato::ui::CSekatoApp;

void Settle(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

/// The main window as it opens, with a source file chosen.
bool ShotWindow(CSekatoApp& app, const QString& out) {
  app.View()->ChooseSource(QStringLiteral("/home/reader/小说/三国演义.txt"));
  Settle(300);
  return app.MainFrame()->grab().save(out);
}

/// The About box over the main window.
bool ShotAbout(CSekatoApp& app, const QString& out) {
  sekato::ui::CAboutDlg about(app.MainFrame());
  about.show();
  Settle(300);
  return about.grab().save(out);
}

/// The main window with the keywords tip up: the pointer rests on the keywords field and
/// the balloon's stem points at it.
bool ShotTip(CSekatoApp& app, const QString& out) {
  sekato::ui::CSekatoView* view = app.View();
  view->ChooseSource(QStringLiteral("/home/reader/小说/三国演义.txt"));
  QWidget* keywords = view->findChild<QWidget*>(QStringLiteral("keywords"));
  const QPoint local(keywords->width() * 3 / 4, keywords->height() / 2);
  const QPoint pointer = keywords->mapToGlobal(local);
  view->m_tip.SetCursorSource([pointer] { return pointer; });
  QMouseEvent move(QEvent::MouseMove, QPointF(local), QPointF(pointer), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  QApplication::sendEvent(keywords, &move);
  Settle(800);
  if (!view->m_tip.isVisible()) return false;

  // The tip is a window of its own, reaching past the frame: both go on one canvas, the
  // tip cut to its balloon outline, with the pointer drawn on top.
  QWidget* frame = app.MainFrame();
  const QRect frameRect(frame->mapToGlobal(QPoint(0, 0)), frame->size());
  const QRect area = frameRect.united(view->m_tip.geometry()).adjusted(-8, -8, 8, 8);
  QPixmap shot(area.size());
  shot.fill(QColor(0xd8, 0xdc, 0xe0));
  QPainter painter(&shot);
  painter.drawPixmap(frameRect.topLeft() - area.topLeft(), frame->grab());
  const QPoint tipAt = view->m_tip.pos() - area.topLeft();
  painter.setClipRegion(view->m_tip.mask().translated(tipAt));
  view->m_tip.render(&painter, tipAt);
  painter.setClipping(false);
  const QPoint tip = pointer - area.topLeft();
  const QPolygon arrow({tip, tip + QPoint(0, 16), tip + QPoint(4, 12), tip + QPoint(7, 19),
                        tip + QPoint(9, 18), tip + QPoint(6, 11), tip + QPoint(11, 11)});
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::white);
  painter.setBrush(Qt::black);
  painter.drawPolygon(arrow);
  painter.end();
  return shot.save(out);
}

/// The chapter preview of the sample novel with keywords 第 回 and the default title size:
/// most headings are too long, so chapters are missing and the title-size hint is offered.
bool ShotPreview(CSekatoApp& app, const QString& out) {
  sekato::engine::SplitOptions options;
  options.sourcePath = SEKATO_SAMPLES_DIR "/sanguoyanyi.gbk.txt";
  options.sourceTitle = "sanguoyanyi";
  options.keywords = "\xB5\xDA \xBB\xD8";  // 第 回
  const auto result = sekato::engine::ChapterScan::Run(options);
  if (result.status != sekato::engine::ScanResult::Status::Done) return false;
  sekato::ui::CPreviewDlg dialog(result, app.MainFrame());
  dialog.show();
  Settle(300);
  return dialog.grab().save(out);
}

struct Shot {
  const char* name;
  const char* what;
  std::function<bool(CSekatoApp& app, const QString&)> take;
};

const Shot kShots[] = {
    {"window", "the main window with a source chosen", ShotWindow},
    {"about", "the About box", ShotAbout},
    {"tip", "the keywords help tip over the form", ShotTip},
    {"preview", "the chapter preview with numbering gaps and a hint", ShotPreview},
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
    if (args[1] != QLatin1String(shot.name)) continue;
    CSekatoApp app;
    if (app.InitInstance({QStringLiteral("sekato")}) && shot.take(app, args[2])) return 0;
    std::fprintf(stderr, "sekato-screenshot: could not take '%s'\n", shot.name);
    return 1;
  }
  return Usage();
}

// The window at the screen density ctest gives it (96, 120, 144 and 192 dpi, each on a screen
// that grows with it, and 144 dpi on a screen too small for the form).
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QtTest>

#include "cmainframe.h"
#include "cpreviewdlg.h"
#include "csekatoapp.h"
#include "csekatoview.h"
#include "uitestsupport.h"

using namespace sekato::ui;

class TestHighDpi : public QObject {
  Q_OBJECT

 private slots:
  void formFitsOrScrollsOnlyUpAndDown() {
    CSekatoApp app;
    QVERIFY(app.InitInstance({QStringLiteral("sekato")}));
    CMainFrame* frame = app.MainFrame();
    CSekatoView* view = app.View();
    QVERIFY(QTest::qWaitForWindowExposed(frame));
    const QRect screen = frame->screen()->availableGeometry();
    qInfo("scale %g, screen %dx%d, window %dx%d at %d,%d", frame->devicePixelRatio(),
          screen.width(), screen.height(), frame->frameGeometry().width(),
          frame->frameGeometry().height(), frame->frameGeometry().x(), frame->frameGeometry().y());

    auto* bar = test::Item<QProgressBar>(view, "progress");
    QVERIFY(screen.contains(frame->frameGeometry()));
    QCOMPARE(view->horizontalScrollBar()->maximum(), 0);  // never sideways
    if (view->verticalScrollBar()->maximum() == 0) {
      // The whole form, down to the progress row, with no scroll bar.
      const QRect shown(bar->mapTo(view->viewport(), QPoint()), bar->size());
      QVERIFY(view->viewport()->rect().contains(shown));
    } else {
      // Only when it must: the form with the menu and toolbar is taller than the screen.
      QVERIFY(view->widget()->minimumHeight() + frame->height() - view->height() > screen.height());
    }

    // Wider, the fields and the progress bar stretch rather than add white space.
    const int width = bar->width();
    frame->resize(frame->width() + 120, frame->height());
    QTRY_COMPARE(bar->width(), width + 120);
    QCOMPARE(view->horizontalScrollBar()->maximum(), 0);
  }

  // The chapter preview, with hints, stays inside the available area, its buttons in reach.
  void previewDialogFitsTheScreen() {
    CSekatoApp app;
    QVERIFY(app.InitInstance({QStringLiteral("sekato")}));
    QVERIFY(QTest::qWaitForWindowExposed(app.MainFrame()));
    sekato::engine::ScanResult result;
    result.forms.push_back({"第N回", 40, "第 回", 20});
    CPreviewDlg dialog(result, app.View());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QRect screen = dialog.screen()->availableGeometry();
    const QRect frame = dialog.frameGeometry();
    qInfo("screen %dx%d at %d,%d, preview %dx%d at %d,%d", screen.width(), screen.height(),
          screen.x(), screen.y(), frame.width(), frame.height(), frame.x(), frame.y());
    QVERIFY(screen.contains(dialog.frameGeometry()));
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
      const QRect place(button->mapToGlobal(QPoint()), button->size());
      QVERIFY2(screen.contains(place), qPrintable(button->text()));
    }
  }

  void controlsStayApartInReadingOrderWithWholeCaptions() {
    CSekatoApp app;
    QVERIFY(app.InitInstance({QStringLiteral("sekato")}));
    QVERIFY(QTest::qWaitForWindowExposed(app.MainFrame()));
    const QStringList faults = test::FormLayoutFaults(app.View()->widget());
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
  }

  // A list kept from the preview shows on the form under the progress bar, whole and inside
  // the form, even with the most chapters a list holds.
  void keptListNoteFitsTheForm() {
    CSekatoApp app;
    QVERIFY(app.InitInstance({QStringLiteral("sekato")}));
    QVERIFY(QTest::qWaitForWindowExposed(app.MainFrame()));
    CSekatoView* view = app.View();
    view->ChooseSource(QStringLiteral(SEKATO_SAMPLES_DIR "/sanguoyanyi.gbk.txt"));
    test::Item<QLineEdit>(view, "keywords")->setText(QStringLiteral("第 回"));
    QVERIFY(test::Trigger(app.MainFrame(), "actionPreview"));
    CPreviewDlg* dialog = nullptr;
    QVERIFY(test::WaitUntil([&] { return (dialog = view->findChild<CPreviewDlg*>()) != nullptr; }));
    sekato::engine::ChapterList list;
    for (std::int64_t line = 1; line <= 100000; ++line) list.entries.push_back({line, {}});
    emit dialog->KeepList(list);
    dialog->hide();
    QLabel* note = view->KeptListLabel();
    QVERIFY(note && note->isVisible());
    QVERIFY(note->text().contains(QStringLiteral("100000 章")));
    const QStringList faults = test::FormLayoutFaults(view->widget());
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
    auto* bar = test::Item<QProgressBar>(view, "progress");
    QVERIFY(note->geometry().top() > bar->geometry().bottom());
  }
};

QTEST_MAIN(TestHighDpi)
#include "tst_highdpi.moc"

#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>

#include "appmessagebox.h"
#include "caboutdlg.h"
#include "cmarkupstatic.h"
#include "layoutcheck.h"
#include "programversion.h"
#include "siteaddresses.h"

using sekato::controls::AppMessageBox;
using sekato::controls::CMarkupStatic;
using sekato::engine::ProgramVersion;
using sekato::engine::SiteAddresses;
using sekato::ui::CAboutDlg;
using sekato::ui::test::LayoutFaults;
using sekato::ui::test::LeftEdgeFaults;
using sekato::ui::test::ReadingOrderFaults;

namespace {

QRect LinkRect(const CMarkupStatic* link) {
  const auto& r = link->Label().m_segments.front().rcText;
  return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void ClickAt(QWidget* w, QPoint p) {
  for (auto type : {QEvent::MouseMove, QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons buttons =
        type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    QMouseEvent event(type, QPointF(p), QPointF(w->mapToGlobal(p)), button, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(w, &event);
  }
}

// Runs the box modally, doing `action` once it is up; the result of exec(), or -1 when the
// box did not end within five seconds.
int ExecWith(CAboutDlg& dlg, const std::function<void()>& action) {
  QTimer::singleShot(0, &dlg, action);
  QTimer::singleShot(5000, &dlg, [&dlg] { dlg.done(-1); });
  return dlg.exec();
}

}  // namespace

class TestAboutDlg : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void controlsAndWhereTheySit();
  void okEscAndCloseBoxEndIt_data();
  void okEscAndCloseBoxEndIt();
  void linkOpensTheForumAndTheBoxStays();
  void rendersTheLinkAsALink();

 private:
  QStringList m_opened;
  QStringList m_messages;
};

void TestAboutDlg::init() {
  m_opened.clear();
  m_messages.clear();
  CMarkupStatic::SetLinkOpener([this](const QString& link) {
    m_opened << link;
    return true;
  });
  AppMessageBox::SetHandler([this](QWidget*, const QString& text) { m_messages << text; });
}

void TestAboutDlg::cleanup() {
  CMarkupStatic::SetLinkOpener({});
  AppMessageBox::SetHandler({});
}

void TestAboutDlg::controlsAndWhereTheySit() {
  CAboutDlg dlg;
  QCOMPARE(dlg.windowTitle(), QStringLiteral("关于 sekato"));
  QCOMPARE(dlg.minimumSize(), dlg.maximumSize());
  QCOMPARE(dlg.size(), dlg.minimumSize());

  auto* product = dlg.findChild<QLabel*>(QStringLiteral("product"));
  QVERIFY(product);
  QCOMPARE(product->text(),
           QStringLiteral("岚溪TXT分割器 V") + QLatin1String(ProgramVersion::kShort));
  QCOMPARE(product->textFormat(), Qt::PlainText);
  auto* updated = dlg.findChild<QLabel*>(QStringLiteral("updated"));
  QVERIFY(updated);
  QCOMPARE(updated->text(),
           QStringLiteral("最近更新:") + QLatin1String(ProgramVersion::kReleaseDate));
  // The picture keeps its image's own size, 120 × 40; with no image its place stays empty.
  auto* picture = dlg.findChild<QLabel*>(QStringLiteral("picture"));
  QVERIFY(picture);
  if (QFile::exists(QStringLiteral(":/res/about.png"))) {
    QCOMPARE(picture->size(), QSize(120, 40));
    QCOMPARE(picture->pixmap().size(), QSize(120, 40));
  } else {
    QVERIFY(picture->pixmap().isNull());
  }

  auto* rule = dlg.findChild<QFrame*>(QStringLiteral("rule"));
  QVERIFY(rule);
  QCOMPARE(rule->frameShape(), QFrame::HLine);
  QCOMPARE(rule->frameShadow(), QFrame::Sunken);

  auto* ok = dlg.findChild<QPushButton*>(QStringLiteral("ok"));
  QVERIFY(ok);
  QCOMPARE(ok->text(), QStringLiteral("确定"));
  QVERIFY(ok->isDefault());

  // Control 1023 is the markup label now, its text one link to the forum.
  QVERIFY(!dlg.findChild<QLabel*>(QStringLiteral("forumLink")));
  auto* link = dlg.findChild<CMarkupStatic*>(QStringLiteral("forumLink"));
  QVERIFY(link);
  QCOMPARE(link->windowText(), CAboutDlg::LinkMarkup());
  QCOMPARE(link->Label().m_segments.size(), size_t{1});
  QCOMPARE(link->Label().m_segments.front().strLink, std::string(SiteAddresses::kForum));
  QCOMPARE(QString::fromStdString(link->Label().m_strPlain), QStringLiteral("岚溪软件论坛"));

  // Where they sit: apart and inside the box, the picture beside the product's name, then
  // the date, the rule, and the link beside OK at the bottom; the left column lines up and OK
  // ends within the rule.
  const QStringList faults =
      LayoutFaults(&dlg) + ReadingOrderFaults({{picture, product}, {updated}, {rule}, {link, ok}}) +
      LeftEdgeFaults(&dlg, {picture, updated, rule, link});
  QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
  QVERIFY(ok->geometry().right() <= rule->geometry().right());
}

void TestAboutDlg::okEscAndCloseBoxEndIt_data() {
  QTest::addColumn<int>("way");
  QTest::addColumn<int>("result");
  QTest::newRow("OK") << 0 << int(QDialog::Accepted);
  QTest::newRow("Esc") << 1 << int(QDialog::Rejected);
  QTest::newRow("close box") << 2 << int(QDialog::Rejected);
}

void TestAboutDlg::okEscAndCloseBoxEndIt() {
  QFETCH(int, way);
  QFETCH(int, result);
  CAboutDlg dlg;
  const int ended = ExecWith(dlg, [&dlg, way] {
    auto* ok = dlg.findChild<QPushButton*>(QStringLiteral("ok"));
    if (way == 0) QTest::mouseClick(ok, Qt::LeftButton);
    if (way == 1) QTest::keyClick(&dlg, Qt::Key_Escape);
    if (way == 2) dlg.close();
  });
  QCOMPARE(ended, result);
  QVERIFY(!dlg.isVisible());
}

void TestAboutDlg::linkOpensTheForumAndTheBoxStays() {
  CAboutDlg dlg;
  bool stillOpen = false;
  bool visited = false;
  ExecWith(dlg, [&] {
    auto* link = dlg.findChild<CMarkupStatic*>(QStringLiteral("forumLink"));
    if (!QTest::qWaitForWindowExposed(&dlg)) return dlg.done(-1);
    link->repaint();
    ClickAt(link, LinkRect(link).center());
    stillOpen = dlg.isVisible();
    visited = link->Label().m_segments.front().bVisited == 1;
    dlg.accept();
  });
  QCOMPARE(m_opened, QStringList{QString::fromLatin1(SiteAddresses::kForum)});
  QVERIFY(m_messages.isEmpty());
  QVERIFY(stillOpen);
  QVERIFY(visited);
}

void TestAboutDlg::rendersTheLinkAsALink() {
  CAboutDlg dlg;
  dlg.show();
  QVERIFY(QTest::qWaitForWindowExposed(&dlg));
  const QImage shot = dlg.grab().toImage();
  // Kept for a look by eye only when SEKATO_TEST_SHOTS names a folder.
  if (const QString shots = qEnvironmentVariable("SEKATO_TEST_SHOTS"); !shots.isEmpty())
    shot.save(shots + QStringLiteral("/sekato_about.png"));

  auto* link = dlg.findChild<CMarkupStatic*>(QStringLiteral("forumLink"));
  // The forum's name fits its label on one line, underlined in the link colour.
  QCOMPARE(link->Label().m_segments.size(), size_t{1});
  QVERIFY(link->rect().contains(LinkRect(link)));
  const QRect area = LinkRect(link).translated(link->pos());
  int longest = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    int run = 0;
    for (int x = area.left(); x <= area.right(); ++x) {
      run = shot.pixelColor(x, y) == QColor(0, 0, 255) ? run + 1 : 0;
      longest = std::max(longest, run);
    }
  }
  QVERIFY2(longest >= area.width() - 2, qPrintable(QString::number(longest)));
}

QTEST_MAIN(TestAboutDlg)
#include "tst_caboutdlg.moc"

// What the window remembers between runs: where it was, the books and folders last chosen,
// and, only under 记住设置, the form's options; 恢复默认设置 brings the defaults back.
#include <QAction>
#include <QCheckBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "cmainframe.h"
#include "csekatoapp.h"
#include "csekatoview.h"
#include "uitestsupport.h"
#include "usersettings.h"
#include "windowplacement.h"

using namespace sekato::ui;
using namespace sekato::ui::test;

class TestUserSettings : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir m_dir;

  QString Book(const QString& name) {
    const QString path = m_dir.filePath(name);
    return WriteFile(path, Gbk(QStringLiteral("第1章 开始\r\n正文。\r\n"))) ? path : QString();
  }
  static std::unique_ptr<CSekatoApp> Start(const QStringList& arguments = {}) {
    auto app = std::make_unique<CSekatoApp>();
    if (!app->InitInstance(QStringList{QStringLiteral("sekato")} + arguments)) return nullptr;
    return app;
  }
  static QLineEdit* MaxKb(const CSekatoApp& app) { return Item<QLineEdit>(app.View(), "maxKb"); }
  static QCheckBox* Trim(const CSekatoApp& app) {
    return Item<QCheckBox>(app.View(), "trimSpaces");
  }
  static QStringList RecentItems(const CSekatoApp& app) {
    QStringList texts;
    for (const QAction* action : app.MainFrame()->RecentMenu()->actions()) {
      texts << action->text();
    }
    return texts;
  }

 private slots:
  void init() { QSettings().clear(); }

  void placementKeepsTheWindowWholeOnAScreen_data() {
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<QList<QRect>>("screens");
    QTest::addColumn<QPoint>("expected");  // (-1, -1): centred instead
    const QRect small(0, 0, 1024, 768);
    const QRect big(0, 0, 2560, 1600);
    const QRect left(-1920, 0, 1920, 1080);
    QTest::newRow("inside stays") << QRect(100, 50, 500, 400) << QList{small} << QPoint(100, 50);
    QTest::newRow("past the right edge")
        << QRect(900, 50, 500, 400) << QList{small} << QPoint(524, 50);
    QTest::newRow("past the bottom right corner")
        << QRect(2400, 1500, 500, 400) << QList{big} << QPoint(2060, 1200);
    QTest::newRow("above the top left corner")
        << QRect(-30, -20, 500, 400) << QList{small} << QPoint(0, 0);
    QTest::newRow("larger than the screen")
        << QRect(10, 10, 1100, 900) << QList{small} << QPoint(0, 0);
    QTest::newRow("screen unplugged")
        << QRect(3000, 100, 500, 400) << QList{small} << QPoint(-1, -1);
    QTest::newRow("on the left screen")
        << QRect(-600, 900, 500, 400) << QList{left, small} << QPoint(-600, 680);
    QTest::newRow("mostly on the right screen")
        << QRect(-100, 100, 500, 400) << QList{left, small} << QPoint(0, 100);
    QTest::newRow("no screens") << QRect(0, 0, 10, 10) << QList<QRect>{} << QPoint(-1, -1);
  }
  void placementKeepsTheWindowWholeOnAScreen() {
    QFETCH(QRect, frame);
    QFETCH(QList<QRect>, screens);
    QFETCH(QPoint, expected);
    const std::optional<QPoint> place = WindowPlacement::Fit(frame, screens);
    QCOMPARE(place.value_or(QPoint(-1, -1)), expected);
  }

  void recentBooksAreNewestFirstEachOnceAtMostEight() {
    for (int i = 1; i <= 10; ++i) UserSettings::AddRecentSource(QStringLiteral("/b/%1.txt").arg(i));
    UserSettings::AddRecentSource(QStringLiteral("/b/5.txt"));
    QCOMPARE(UserSettings::RecentSources(),
             QStringList({"/b/5.txt", "/b/10.txt", "/b/9.txt", "/b/8.txt", "/b/7.txt", "/b/6.txt",
                          "/b/4.txt", "/b/3.txt"}));
    QCOMPARE(UserSettings::SourceFolder(), QStringLiteral("/b"));
    UserSettings::RemoveRecentSource(QStringLiteral("/b/10.txt"));
    QCOMPARE(UserSettings::RecentSources().size(), 7);
  }

  void chosenBooksAppearUnderRecentAndOpenFromThere() {
    const QString a = Book(QStringLiteral("甲.txt"));
    const QString b = Book(QStringLiteral("乙.txt"));
    auto app = Start({a});
    QVERIFY(app);
    app->View()->ChooseSource(b);
    const QStringList items = RecentItems(*app);
    QCOMPARE(items.size(), 2);
    QVERIFY2(
        items[0].startsWith(QStringLiteral("&1 ")) && items[0].endsWith(QStringLiteral("乙.txt")),
        qPrintable(items[0]));
    QVERIFY(items[1].endsWith(QStringLiteral("甲.txt")));
    app->MainFrame()->RecentMenu()->actions()[1]->trigger();
    QCOMPARE(app->View()->SourceFile(), a);
    QCOMPARE(UserSettings::SourceFolder(), m_dir.path());
  }

  void aRecentBookThatHasGoneIsSaidSoAndDropped() {
    const QString gone = Book(QStringLiteral("丙.txt"));
    auto app = Start({gone});
    QVERIFY(app);
    QFile::remove(gone);
    MessageCapture messages;
    app->MainFrame()->RecentMenu()->actions()[0]->trigger();
    QCOMPARE(messages.texts.size(), 1);
    QVERIFY(messages.texts[0].contains(gone));
    QVERIFY(UserSettings::RecentSources().isEmpty());
    QCOMPARE(RecentItems(*app), QStringList{QStringLiteral("（无）")});
  }

  void theWindowComesBackWhereItWas() {
    auto app = Start();
    QVERIFY(app);
    app->MainFrame()->move(40, 30);
    QVERIFY(app->MainFrame()->close());
    QCOMPARE(UserSettings::WindowPosition().value_or(QPoint()), QPoint(40, 30));
    app = Start();
    QCOMPARE(app->MainFrame()->pos(), QPoint(40, 30));
  }

  void formOptionsAreRememberedOnlyWhenAsked_data() {
    QTest::addColumn<bool>("remember");
    QTest::newRow("off by default") << false;
    QTest::newRow("remember settings on") << true;
  }
  void formOptionsAreRememberedOnlyWhenAsked() {
    QFETCH(bool, remember);
    const QString book = Book(QStringLiteral("丁.txt"));
    auto app = Start({book});
    QVERIFY(app);
    const QString defaultKb = MaxKb(*app)->text();
    const bool defaultTrim = Trim(*app)->isChecked();
    QVERIFY(!app->MainFrame()->RememberFormAction()->isChecked());
    if (remember) app->MainFrame()->RememberFormAction()->trigger();
    MaxKb(*app)->setText(QStringLiteral("777"));
    Trim(*app)->click();
    QVERIFY(app->MainFrame()->close());

    app = Start();
    QCOMPARE(app->MainFrame()->RememberFormAction()->isChecked(), remember);
    QCOMPARE(MaxKb(*app)->text(), remember ? QStringLiteral("777") : defaultKb);
    QCOMPARE(Trim(*app)->isChecked(), remember ? !defaultTrim : defaultTrim);
    // The book is not an option: a start without one has none.
    QVERIFY(app->View()->SourceFile().isEmpty());
  }

  void restoreDefaultsKeepsTheBookAndForgetsTheOptions() {
    const QString book = Book(QStringLiteral("戊.txt"));
    auto app = Start({book});
    QVERIFY(app);
    const QString defaultKb = MaxKb(*app)->text();
    app->MainFrame()->RememberFormAction()->trigger();
    MaxKb(*app)->setText(QStringLiteral("123"));
    QVERIFY(app->MainFrame()->close());
    app = Start({book});
    QCOMPARE(MaxKb(*app)->text(), QStringLiteral("123"));

    QVERIFY(app->RestoreDefaults());
    QCOMPARE(MaxKb(*app)->text(), defaultKb);
    QCOMPARE(app->View()->SourceFile(), book);
    QVERIFY(UserSettings::Form().isEmpty());
    QVERIFY(app->MainFrame()->RememberFormAction()->isChecked());
  }
};

QTEST_MAIN(TestUserSettings)
#include "tst_usersettings.moc"

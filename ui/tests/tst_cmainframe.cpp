// The application and its main frame: identity, start-up, menu, toolbar and images.
#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QScrollBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <memory>

#include "cfullcolortoolbar.h"
#include "cmainframe.h"
#include "csekatoapp.h"
#include "csekatoview.h"
#include "programversion.h"
#include "siteaddresses.h"
#include "uitestsupport.h"
#include "weblinks.h"

using namespace sekato::ui;
using sekato::engine::ProgramVersion;
using sekato::engine::SiteAddresses;
using sekato::ui::test::Item;

namespace {

/// Records every time a main frame is shown, and where.
class ShowSpy : public QObject {
 public:
  QList<QRect> shows;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && qobject_cast<CMainFrame*>(watched) != nullptr) {
      shows.append(static_cast<QWidget*>(watched)->frameGeometry());
    }
    return false;
  }
};

QStringList MenuTexts(const QMenu* menu) {
  QStringList texts;
  for (const QAction* action : menu->actions()) {
    texts << (action->isSeparator() ? QStringLiteral("-")
                                    : action->text() + QLatin1Char('=') + action->objectName());
  }
  return texts;
}

}  // namespace

class TestCMainFrame : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir m_config;

 private slots:
  void initTestCase() {
    // Anything written to the profile would land here.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
  }

  void startUp() {
    ShowSpy spy;
    qApp->installEventFilter(&spy);
    CSekatoApp app;
    QVERIFY(app.InitInstance({QStringLiteral("sekato")}));
    qApp->removeEventFilter(&spy);

    QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("sekato"));
    QCOMPARE(QCoreApplication::applicationVersion(), QLatin1String(ProgramVersion::kFull));
    QCOMPARE(QCoreApplication::organizationName(),
             QStringLiteral("Local AppWizard-Generated Applications"));

    CMainFrame* frame = app.MainFrame();
    QCOMPARE(frame->windowTitle(),
             QStringLiteral("岚溪TXT分割器 V") + QLatin1String(ProgramVersion::kShort));
    QVERIFY(!(frame->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(frame->windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(frame->windowFlags() & Qt::WindowCloseButtonHint);
    QVERIFY(frame->findChild<QStatusBar*>() == nullptr);
    QCOMPARE(frame->windowIcon().availableSizes().value(0), QSize(82, 82));

    // Shown once, already fitted and centred.
    QCOMPARE(spy.shows.size(), 1);
    const QRect area = frame->screen()->availableGeometry();
    QVERIFY(qAbs(spy.shows[0].center().x() - area.center().x()) <= 1);
    QVERIFY(qAbs(spy.shows[0].center().y() - area.center().y()) <= 1);
    QCOMPARE(app.View()->size(), app.View()->widget()->size());
    QVERIFY(!app.View()->horizontalScrollBar()->isVisible());

    // Closing never asks anything and leaves the profile untouched.
    QVERIFY(frame->close());
    QVERIFY(QDir(m_config.path()).isEmpty());
  }

  void qtDialogsSpeakChinese() {
    // Whatever the desktop's language (the tests run in C), Qt's own buttons read like the
    // window.
    CSekatoApp app;
    QVERIFY(app.InitInstance({QStringLiteral("sekato")}));
    QMessageBox box(QMessageBox::Warning, QStringLiteral("sekato"), QStringLiteral("x"),
                    QMessageBox::Ok | QMessageBox::Cancel);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QCOMPARE(box.button(QMessageBox::Ok)->text(), QStringLiteral("确定"));
    QCOMPARE(box.button(QMessageBox::Cancel)->text(), QStringLiteral("取消"));
    // Qt's own file dialog, used where the desktop has none of its own.
    QFileDialog files;
    files.setOption(QFileDialog::DontUseNativeDialog);
    QCOMPARE(files.findChild<QLabel*>(QStringLiteral("lookInLabel"))->text(),
             QStringLiteral("查找范围："));
    QCOMPARE(QLocale().language(), QLocale::Chinese);
  }

  void aFrameSmallerThanTheFormScrolls() {
    CMainFrame frame;
    QVERIFY(frame.Create());
    frame.resize(300, 250);
    auto* view = new CSekatoView;
    frame.SetView(view);
    view->OnInitialUpdate();
    QCOMPARE(frame.size(), QSize(300, 250));  // fitting only ever shrinks
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QVERIFY(view->verticalScrollBar()->maximum() > 0);
    QVERIFY(view->horizontalScrollBar()->maximum() > 0);
  }

  void commandLineAndDropChooseTheSource() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("书.txt"));
    QVERIFY(sekato::ui::test::WriteFile(path, "x"));

    CSekatoApp app;
    QVERIFY(app.InitInstance({QStringLiteral("sekato"), path}));
    QCOMPARE(app.View()->SourceFile(), path);
    QCOMPARE(Item<QLineEdit>(app.View(), "customName")->text(), QStringLiteral("书"));
    QVERIFY(test::Action(app.MainFrame(), "actionStart")->isEnabled());

    CSekatoApp missing;
    QVERIFY(missing.InitInstance({QStringLiteral("sekato"), dir.filePath("none.txt")}));
    QVERIFY(missing.View()->SourceFile().isEmpty());

    // A file dropped on the frame (the toolbar, say) is chosen as well.
    const QString other = dir.filePath(QStringLiteral("other.txt"));
    QVERIFY(sekato::ui::test::WriteFile(other, "y"));
    QVERIFY(sekato::ui::test::DropUrls(app.MainFrame()->ToolBar(), {QUrl::fromLocalFile(other)}));
    QCOMPARE(app.View()->SourceFile(), other);
  }

  void menusHoldTheirCommandsAndShortcuts() {
    CSekatoApp app;
    QVERIFY(app.InitInstance({QStringLiteral("sekato")}));
    const QList<QAction*> menus = app.MainFrame()->menuBar()->actions();
    QCOMPARE(menus.size(), 3);
    QCOMPARE(menus[0]->text(), QStringLiteral("操作(&O)"));
    QCOMPARE(menus[1]->text(), QStringLiteral("查看(&V)"));
    QCOMPARE(menus[2]->text(), QStringLiteral("帮助(&H)"));
    QCOMPARE(MenuTexts(menus[0]->menu()),
             (QStringList{"开始分割(&S)=actionStart", "停止分割(&P)=actionStop",
                          "预览章节(&V)=actionPreview", "-", "最近打开(&R)=menuRecent", "-",
                          "退出(&X)=actionExit"}));
    QCOMPARE(
        MenuTexts(menus[1]->menu()),
        (QStringList{"工具栏(&T)=actionToolBar", "语言(&L)=menuLanguage", "-",
                     "记住设置(&M)=actionRememberForm", "恢复默认设置(&D)=actionRestoreDefaults"}));
    QCOMPARE(MenuTexts(menus[2]->menu()),
             (QStringList{"意见返馈(&F)=actionFeedback", "查看新版本(&N)=actionNewVersion",
                          "岚溪软件列表(&L)=actionSoftList", "-",
                          "关于 岚溪TXT分割器(&A)=actionAbout"}));
    QCOMPARE(test::Action(app.MainFrame(), "actionStart")->shortcut(),
             QKeySequence(Qt::CTRL | Qt::Key_Return));
    QCOMPARE(test::Action(app.MainFrame(), "actionStop")->shortcut(), QKeySequence(Qt::Key_Escape));
    QCOMPARE(test::Action(app.MainFrame(), "actionExit")->shortcut(),
             QKeySequence(QKeySequence::Quit));
  }

  // Each command with a string-table entry carries its prompt as status text. The frame
  // has no status bar, and hovering a command (which sends the prompt) must not make one.
  void commandsCarryTheirPromptsWithoutAStatusBar() {
    CSekatoApp app;
    QVERIFY(app.InitInstance({QStringLiteral("sekato")}));
    const QMap<QString, QString> prompts = {
        {QStringLiteral("actionStart"), QStringLiteral("点击后开始分割文本文件。")},
        {QStringLiteral("actionStop"), QStringLiteral("停止分割文本文件")},
        {QStringLiteral("actionAbout"), QStringLiteral("显示程序信息，版本号和版权")},
        {QStringLiteral("actionExit"), QStringLiteral("退出应用程序；提示保存文档")},
        {QStringLiteral("actionToolBar"), QStringLiteral("显示或隐藏工具栏")},
        {QStringLiteral("actionFeedback"), QString()},
        {QStringLiteral("actionNewVersion"), QString()},
        {QStringLiteral("actionSoftList"), QString()},
    };
    for (auto it = prompts.cbegin(); it != prompts.cend(); ++it) {
      QAction* action = test::Action(app.MainFrame(), it.key());
      QCOMPARE(action->statusTip(), it.value());
      action->showStatusText(app.MainFrame());
    }
    QCOMPARE(test::Action(app.MainFrame(), "actionToolBar")->toolTip(),
             QStringLiteral("显隐工具栏"));
    QVERIFY(app.MainFrame()->findChild<QStatusBar*>() == nullptr);
  }

  // Everything but Start and Stop is enabled; the Help commands open their pages.
  void commandsEnabledAndHelpOpensItsPages() {
    CSekatoApp app;
    QVERIFY(app.InitInstance({QStringLiteral("sekato")}));
    for (const char* id : {"actionFeedback", "actionNewVersion", "actionSoftList", "actionAbout",
                           "actionExit", "actionToolBar"}) {
      QVERIFY2(test::Action(app.MainFrame(), id)->isEnabled(), id);
    }
    // Start and Stop follow the form's run control.
    QVERIFY(!test::Action(app.MainFrame(), "actionStart")->isEnabled());
    app.View()->ChooseSource(QStringLiteral("/books/novel.txt"));
    QVERIFY(test::Action(app.MainFrame(), "actionStart")->isEnabled());
    // The Help commands open their pages in the browser, in menu order.
    QList<QUrl> opened;
    const auto browser = WebLinks::SetOpener([&opened](const QUrl& url) {
      opened.append(url);
      return true;
    });
    for (const char* id : {"actionFeedback", "actionNewVersion", "actionSoftList"}) {
      QVERIFY(test::Trigger(app.MainFrame(), id));
    }
    WebLinks::SetOpener(browser);
    QCOMPARE(opened, (QList<QUrl>{QUrl(QString::fromLatin1(SiteAddresses::kForum)),
                                  QUrl(QString::fromLatin1(SiteAddresses::kProduct)),
                                  QUrl(QString::fromLatin1(SiteAddresses::kSoftList))}));
  }

  // About runs its box modally over the frame, from the menu and the toolbar alike.
  void aboutIsModalOverTheFrame() {
    CSekatoApp app;
    QVERIFY(app.InitInstance({QStringLiteral("sekato")}));
    for (int round = 0; round < 2; ++round) {
      QString title;
      QWidget* owner = nullptr;
      QTimer::singleShot(0, [&] {
        if (QWidget* box = QApplication::activeModalWidget()) {
          title = box->windowTitle();
          owner = box->parentWidget();
          box->close();
        }
      });
      if (round == 0) {
        QVERIFY(test::Trigger(app.MainFrame(), "actionAbout"));
      } else {
        test::Action(app.MainFrame(), "actionAbout")->trigger();
      }
      QCOMPARE(title, QStringLiteral("关于 sekato"));
      QCOMPARE(owner, app.MainFrame());
    }
    QVERIFY(QApplication::activeModalWidget() == nullptr);
  }

  // Alt with a label's letter puts the keyboard into its field, once the field's mode is on.
  void altLetterFocusesTheField_data() {
    QTest::addColumn<QString>("mode");  // the split mode that enables the field
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("field");
    const QString chapter = QStringLiteral("splitModeChapter");
    QTest::newRow("F source") << chapter << int(Qt::Key_F) << "sourcePath";
    QTest::newRow("D folder") << chapter << int(Qt::Key_D) << "dirNew";
    QTest::newRow("N name") << chapter << int(Qt::Key_N) << "nameSource";
    QTest::newRow("E encoding") << chapter << int(Qt::Key_E) << "encoding";
    QTest::newRow("U pieces' encoding") << chapter << int(Qt::Key_U) << "outEncoding";
    QTest::newRow("K keywords") << chapter << int(Qt::Key_K) << "keywords";
    QTest::newRow("I numerals") << chapter << int(Qt::Key_I) << "numerals";
    QTest::newRow("T title size") << chapter << int(Qt::Key_T) << "titleMax";
    QTest::newRow("C chapters") << chapter << int(Qt::Key_C) << "chaptersPerFile";
    QTest::newRow("M size") << "splitModeSize" << int(Qt::Key_M) << "maxKb";
    QTest::newRow("A parts") << "splitModeEven" << int(Qt::Key_A) << "parts";
  }

  void altLetterFocusesTheField() {
    QFETCH(QString, mode);
    QFETCH(int, key);
    QFETCH(QString, field);
    CSekatoApp app;
    QVERIFY(app.InitInstance({QStringLiteral("sekato")}));
    CMainFrame* frame = app.MainFrame();
    QVERIFY(QTest::qWaitForWindowActive(frame));
    Item<QAbstractButton>(app.View(), mode)->click();
    Item<QWidget>(app.View(), QStringLiteral("tail"))->setFocus();  // somewhere else first
    QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key), Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), Item<QWidget>(app.View(), field));
  }

  // Alt+K goes to the heading rule's field when a rule takes the keywords' place.
  void altKFollowsTheHeadingRule() {
    CSekatoApp app;
    QVERIFY(app.InitInstance({QStringLiteral("sekato")}));
    QVERIFY(QTest::qWaitForWindowActive(app.MainFrame()));
    Item<QComboBox>(app.View(), QStringLiteral("headingRule"))
        ->setCurrentIndex(CSekatoView::kRuleRegex);
    QTest::keyClick(app.MainFrame(), Qt::Key_K, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), Item<QWidget>(app.View(), QStringLiteral("regex")));
  }

  void toolbarShowsAndHides() {
    CSekatoApp app;
    QVERIFY(app.InitInstance({QStringLiteral("sekato")}));
    CMainFrame* frame = app.MainFrame();
    QAction* toggle = test::Action(frame, "actionToolBar");
    QVERIFY(toggle->isChecked());
    QVERIFY(test::Trigger(frame, "actionToolBar"));
    QVERIFY(frame->ToolBar()->isHidden());
    QVERIFY(!toggle->isChecked());
    toggle->trigger();  // as from the menu
    QVERIFY(!frame->ToolBar()->isHidden());
    QVERIFY(toggle->isChecked());
  }

  void toolbarButtonsAndImages() {
    CSekatoApp app;
    QVERIFY(app.InitInstance({QStringLiteral("sekato")}));
    CFullColorToolBar* bar = app.MainFrame()->ToolBar();
    QCOMPARE(bar->objectName(), QStringLiteral("toolBar"));
    QCOMPARE(bar->iconSize(), QSize(24, 24));
    const QList<QAction*> actions = bar->actions();
    QCOMPARE(actions.size(), 6);
    QStringList layout;
    for (QAction* action : actions) {
      layout << (action->isSeparator()
                     ? QStringLiteral("-")
                     : action->objectName() + QLatin1Char(' ') + action->toolTip());
    }
    // Buttons with keys of their own name them.
    QCOMPARE(layout,
             (QStringList{"actionStart 分割 (Ctrl+Return)", "actionStop 停止 (Esc)",
                          "actionPreview 预览章节", "-", "actionAbout 关于", "actionExit 退出"}));

    using List = CFullColorToolBar::ImageList;
    for (List list : {List::Normal, List::Hot, List::Disabled}) {
      const QList<QPixmap> images = bar->Images(list);
      QCOMPARE(images.size(), 5);
      for (const QPixmap& image : images) {
        QCOMPARE(image.size(), QSize(24, 24));
        const QImage pixels = image.toImage();
        QCOMPARE(qAlpha(pixels.pixel(0, 23)), 0);     // the background is see-through
        QCOMPARE(qAlpha(pixels.pixel(12, 12)), 255);  // the picture is not
      }
    }
    // A disabled button shows the disabled strip, not a greyed copy of the normal one.
    const QImage disabledStop = actions[1]->icon().pixmap(QSize(24, 24), QIcon::Disabled).toImage();
    QCOMPARE(disabledStop, bar->Images(List::Disabled)[1].toImage());
    QVERIFY(disabledStop != bar->Images(List::Normal)[1].toImage());
    QVERIFY(!actions[0]->isIconVisibleInMenu());
  }

  void imageListsRefuseWhatDoesNotFit() {
    CFullColorToolBar bar;
    QVERIFY(!bar.AttachImageList(CFullColorToolBar::ImageList::Normal, 999, 24));  // no bitmap
    QVERIFY(!bar.AttachImageList(CFullColorToolBar::ImageList::Normal, IDR_MAINFRAME, 200));
    QVERIFY(bar.Images(CFullColorToolBar::ImageList::Normal).isEmpty());
    // A missing disabled strip stops the set-up after the two that worked.
    QVERIFY(!bar.SetFullColorImages(24, IDR_MAINFRAME, IDR_MAINFRAME, 999));
    QCOMPARE(bar.Images(CFullColorToolBar::ImageList::Hot).size(), 5);
    QVERIFY(bar.SetFullColorImages(24, IDR_MAINFRAME, IDR_MAINFRAME, 0));
  }

  void resourcesHaveTheirSizes() {
    const QImage strip(BitmapResource(IDR_MAINFRAME));
    QCOMPARE(strip.size(), QSize(120, 24));
    QVERIFY(!strip.hasAlphaChannel());
    QCOMPARE(QImage(BitmapResource(IDB_TOOLBAR_DISABLED)).size(), QSize(120, 24));
    const QImage about(QStringLiteral(":/res/about.png"));
    QCOMPARE(about.size(), QSize(120, 40));
    QVERIFY(!about.hasAlphaChannel());
    const QImage icon(AppIconResource());
    QCOMPARE(icon.size(), QSize(82, 82));
    QVERIFY(icon.hasAlphaChannel());
  }
};

QTEST_MAIN(TestCMainFrame)
#include "tst_cmainframe.moc"

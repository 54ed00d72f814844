// The splitter form on its own: enabling rules, the heading rule's check, choosers and drops.
#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>
#include <memory>

#include "formundertest.h"
#include "uitestsupport.h"

using namespace sekato::ui;
using sekato::ui::test::Button;
using sekato::ui::test::Edit;
using sekato::ui::test::FormUnderTest;
using sekato::ui::test::Item;

class TestCSekatoView : public QObject {
  Q_OBJECT

 private:
  FormUnderTest m_form;

 private slots:
  void init() { m_form.Reset(); }

  void enablingRules_data() {
    QTest::addColumn<QStringList>("setup");  // clicks that make the change visible
    QTest::addColumn<QString>("clicked");
    QTest::addColumn<QStringList>("enabled");
    QTest::addColumn<QStringList>("disabled");
    QTest::newRow("1004 new folder")
        << QStringList{} << "dirNew" << QStringList{"newDir", "browseFolder"} << QStringList{};
    QTest::newRow("1003 beside source") << QStringList{"dirNew"} << "dirBesideSource"
                                        << QStringList{} << QStringList{"newDir", "browseFolder"};
    QTest::newRow("1008 custom name")
        << QStringList{} << "nameCustom" << QStringList{"customName"} << QStringList{};
    QTest::newRow("1007 source name")
        << QStringList{"nameCustom"} << "nameSource" << QStringList{} << QStringList{"customName"};
    QTest::newRow("1010 chapter name")
        << QStringList{"nameCustom"} << "nameChapter" << QStringList{} << QStringList{"customName"};
    QTest::newRow("1013 by chapter")
        << QStringList{"splitModeSize"} << "splitModeChapter"
        << QStringList{"nameChapter", "keywords", "titleMax", "chaptersPerFile"}
        << QStringList{"maxKb", "keepLines", "parts"};
    QTest::newRow("1013 after even")
        << QStringList{"splitModeEven"} << "splitModeChapter"
        << QStringList{"nameChapter", "keywords", "titleMax", "chaptersPerFile"}
        << QStringList{"maxKb", "keepLines", "parts"};
    QTest::newRow("1019 by size") << QStringList{} << "splitModeSize"
                                  << QStringList{"maxKb", "keepLines"}
                                  << QStringList{"nameChapter", "keywords", "titleMax",
                                                 "chaptersPerFile", "parts"};
    QTest::newRow("1019 after even")
        << QStringList{"splitModeEven"} << "splitModeSize" << QStringList{"maxKb", "keepLines"}
        << QStringList{"nameChapter", "keywords", "titleMax", "chaptersPerFile", "parts"};
    QTest::newRow("1014 evenly") << QStringList{"splitModeSize"} << "splitModeEven"
                                 << QStringList{"parts"}
                                 << QStringList{"nameChapter",     "keywords", "titleMax",
                                                "chaptersPerFile", "maxKb",    "keepLines"};
    QTest::newRow("1024 head on") << QStringList{} << "addHead" << QStringList{"head"}
                                  << QStringList{};
    QTest::newRow("1024 head off")
        << QStringList{"addHead"} << "addHead" << QStringList{} << QStringList{"head"};
    QTest::newRow("1026 tail on") << QStringList{} << "addTail" << QStringList{"tail"}
                                  << QStringList{};
    QTest::newRow("1026 tail off")
        << QStringList{"addTail"} << "addTail" << QStringList{} << QStringList{"tail"};
  }

  void enablingRules() {
    QFETCH(QStringList, setup);
    QFETCH(QString, clicked);
    QFETCH(QStringList, enabled);
    QFETCH(QStringList, disabled);
    const auto view = m_form.NewView();
    for (const QString& id : setup) Button(*view, id)->click();
    const QMap<QString, bool> before = FormUnderTest::EnabledStates(*view);
    Button(*view, clicked)->click();
    const QMap<QString, bool> after = FormUnderTest::EnabledStates(*view);
    for (const QString& id : FormUnderTest::AllIds()) {
      if (enabled.contains(id)) {
        QVERIFY2(after[id], qPrintable(id));
      } else if (disabled.contains(id)) {
        QVERIFY2(!after[id], qPrintable(id));
      } else {
        QVERIFY2(after[id] == before[id], qPrintable(id));  // nothing else
      }
    }
  }

  void sizeAndEvenLeaveChapterNames() {
    for (const char* mode : {"splitModeSize", "splitModeEven"}) {
      const auto view = m_form.NewView();
      Button(*view, "nameChapter")->click();
      Button(*view, mode)->click();
      QVERIFY(Button(*view, "nameSource")->isChecked());
      QCOMPARE(Item<QButtonGroup>(view.get(), "nameMode")->checkedId(), 0);
      QVERIFY(!Item<QWidget>(view.get(), "nameChapter")->isEnabled());
      Button(*view, "splitModeChapter")->click();
      QVERIFY(Item<QWidget>(view.get(), "nameChapter")->isEnabled());
      QVERIFY(Button(*view, "nameSource")->isChecked());  // not given back
    }
  }

  // Switching modes leaves what was typed: the fields are the form's only state.
  void modesLeaveTypedFields() {
    const auto view = m_form.NewView();
    Edit(*view, "keywords")->setText(QStringLiteral("第 回"));
    Edit(*view, "maxKb")->setText(QStringLiteral("77"));
    for (const char* mode : {"splitModeChapter", "splitModeSize", "splitModeEven"}) {
      Button(*view, mode)->click();
      QCOMPARE(Edit(*view, "keywords")->text(), QStringLiteral("第 回"));
      QCOMPARE(Edit(*view, "maxKb")->text(), QStringLiteral("77"));
    }
    Button(*view, "splitModeSize")->click();
    const sekato::engine::SplitOptions options = view->GetSplitOptions();
    QCOMPARE(options.keywords, std::string("第 回"));
    QCOMPARE(options.maxKb, 77);
    QCOMPARE(options.mode, sekato::engine::SplitMode::BySize);
  }

  void headingRuleIsCheckedAsItIsTyped() {
    const auto view = m_form.NewView(QStringLiteral("/books/novel.txt"));
    const CSplitRunControl* run = view->RunControl();
    QLineEdit* regex = Edit(*view, "regex");
    QVERIFY(run->CanStart());
    QVERIFY(!regex->isVisibleTo(view.get()));
    Item<QComboBox>(view.get(), "headingRule")->setCurrentIndex(CSekatoView::kRuleRegex);
    view->OnHeadingRule();
    // The rule takes the place of the keywords and their numerals.
    QVERIFY(regex->isVisibleTo(view.get()));
    for (const char* id : {"keywords", "numerals", "numeralsLabel"})
      QVERIFY(!Item<QWidget>(view.get(), id)->isVisibleTo(view.get()));
    QVERIFY(!run->CanStart());  // no rule yet
    const std::pair<QString, QString> bad[] = {
        {QStringLiteral("^第(?<n>\\d+)章("), QStringLiteral("missing closing parenthesis")},
        {QStringLiteral("(第)?"), QStringLiteral("空文本")},
    };
    for (const auto& [pattern, reason] : bad) {
      regex->setText(pattern);
      QVERIFY2(!run->CanStart(), qPrintable(pattern));
      QVERIFY2(regex->toolTip().contains(reason), qPrintable(regex->toolTip()));
    }
    regex->setText(QStringLiteral("^第(?<n>\\d+)章"));
    QVERIFY(run->CanStart());
    QVERIFY(regex->toolTip().isEmpty());
    QCOMPARE(view->GetSplitOptions().regex, std::string("^第(?<n>\\d+)章"));

    // A bad rule holds Start only while headings go by it.
    regex->setText(QStringLiteral("第("));
    Button(*view, "splitModeSize")->click();  // by size
    QVERIFY(run->CanStart());
    Button(*view, "splitModeChapter")->click();
    QVERIFY(!run->CanStart());
    Item<QComboBox>(view.get(), "headingRule")->setCurrentIndex(CSekatoView::kRuleKeywords);
    view->OnHeadingRule();
    QVERIFY(run->CanStart());
    QVERIFY(view->GetSplitOptions().regex.empty());
  }

  void choosingTheSource() {
    const auto view = m_form.NewView(QStringLiteral("/books/novel.txt"));
    QCOMPARE(Edit(*view, "sourcePath")->text(), QStringLiteral("/books/novel.txt"));
    QCOMPARE(Edit(*view, "customName")->text(), QStringLiteral("novel"));
    QCOMPARE(view->GetSplitOptions().sourceTitle, std::string("novel"));
    QCOMPARE(view->GetSplitOptions().sourceBase, std::string("/books/novel"));
    Button(*view, "dirNew")->click();  // an empty new folder starts as the folder beside the source
    QCOMPARE(Edit(*view, "newDir")->text(), QStringLiteral("/books/novel"));
    QCOMPARE(view->GetSplitOptions().newFolder, std::string("/books/novel"));
    QCOMPARE(view->GetSplitOptions().folder, sekato::engine::FolderChoice::NewFolder);

    // Another source replaces a typed custom name; cancelling changes nothing.
    Button(*view, "nameCustom")->click();
    Edit(*view, "customName")->setText(QStringLiteral("mine"));
    m_form.chosenSource = QStringLiteral("/books/其它.小说.txt");
    Button(*view, "browseSource")->click();
    QCOMPARE(Edit(*view, "customName")->text(), QStringLiteral("其它.小说"));
    // The new folder follows the book: the last book's folder was not chosen for this one.
    QCOMPARE(Edit(*view, "newDir")->text(), QStringLiteral("/books/其它.小说"));
    Edit(*view, "customName")->setText(QStringLiteral("mine"));
    m_form.chosenSource.clear();
    Button(*view, "browseSource")->click();
    QCOMPARE(Edit(*view, "customName")->text(), QStringLiteral("mine"));
    QCOMPARE(view->GetSplitOptions().customName, std::string("mine"));
    QCOMPARE(view->SourceFile(), QStringLiteral("/books/其它.小说.txt"));
  }

  void encodingsListedAndTheDetectedOneNamed() {
    const auto view = m_form.NewView();
    const QStringList names = {QStringLiteral("GBK"),      QStringLiteral("GB18030"),
                               QStringLiteral("Big5"),     QStringLiteral("UTF-8"),
                               QStringLiteral("UTF-16LE"), QStringLiteral("UTF-16BE")};
    for (auto [id, first] : {std::pair{"encoding", QStringLiteral("自动检测")},
                             std::pair{"outEncoding", QStringLiteral("同源文件")}}) {
      auto* combo = Item<QComboBox>(view.get(), id);
      QCOMPARE(combo->count(), 7);
      QCOMPARE(combo->itemText(0), first);
      for (int i = 0; i < names.size(); ++i) QCOMPARE(combo->itemText(i + 1), names[i]);
      QCOMPARE(combo->currentIndex(), 0);
    }
    // Choosing a file names what detection finds; a file that cannot be read names nothing.
    QTemporaryDir dir;
    const struct {
      const char* name;
      QByteArray bytes;
      QString shown;
    } cases[] = {
        {"utf8.txt", QStringLiteral("第一章 开端").toUtf8(), QStringLiteral("自动检测（UTF-8）")},
        {"gbk.txt", sekato::ui::test::Gbk(QStringLiteral("第一章 开端")),
         QStringLiteral("自动检测（GBK）")},
        {"le.txt", QByteArray("\xFF\xFE\x2C\x7B", 4), QStringLiteral("自动检测（UTF-16LE）")},
        {"missing.txt", {}, QStringLiteral("自动检测")},
    };
    for (const auto& c : cases) {
      const QString path = dir.filePath(QString::fromUtf8(c.name));
      if (!c.bytes.isEmpty()) QVERIFY(sekato::ui::test::WriteFile(path, c.bytes));
      view->ChooseSource(path);
      QCOMPARE(Item<QComboBox>(view.get(), "encoding")->itemText(0), c.shown);
    }
  }

  void newFolderWithoutUsableBase() {
    // No source yet: the field stays empty but can be typed into.
    auto view = m_form.NewView();
    Button(*view, "dirNew")->click();
    QVERIFY(Edit(*view, "newDir")->text().isEmpty());
    QVERIFY(Edit(*view, "newDir")->isEnabled());

    // A "." only in a folder name is no extension: there is no folder beside the source.
    view = m_form.NewView(QStringLiteral("/my.books/novel"));
    QCOMPARE(view->GetSplitOptions().sourceBase, std::string());
    QCOMPARE(view->GetSplitOptions().sourceTitle, std::string("novel"));
    Button(*view, "dirNew")->click();
    QVERIFY(Edit(*view, "newDir")->text().isEmpty());

    // Text already in the field at the last exchange is kept.
    view = m_form.NewView(QStringLiteral("/books/novel.txt"));
    Button(*view, "dirNew")->click();
    Edit(*view, "newDir")->setText(QStringLiteral("/out"));
    Button(*view, "dirBesideSource")->click();
    Button(*view, "splitModeSize")->click();  // an exchange in
    Button(*view, "dirNew")->click();
    QCOMPARE(Edit(*view, "newDir")->text(), QStringLiteral("/out"));
  }

  // 新目录 follows a newly chosen book unless the user typed or chose it for this book.
  void newFolderFollowsTheBook_data() {
    QTest::addColumn<QString>("how");  // how the folder was set for the first book
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("expected");
    const QString b = QStringLiteral("/books/b.txt");
    QTest::newRow("filled in, another book") << "filled" << b << "/books/b";
    QTest::newRow("typed for a, another book") << "typed" << b << "/books/b";
    QTest::newRow("chosen for a, another book") << "chosen" << b << "/books/b";
    QTest::newRow("typed for a, a again") << "typed"
                                          << "/books/a.txt"
                                          << "/mine";
    QTest::newRow("typed before any book") << "typed first" << b << "/mine";
  }

  void newFolderFollowsTheBook() {
    QFETCH(QString, how);
    QFETCH(QString, second);
    QFETCH(QString, expected);
    const auto view = m_form.NewView(
        how == QStringLiteral("typed first") ? QString() : QStringLiteral("/books/a.txt"));
    Button(*view, "dirNew")->click();
    if (how.startsWith(QStringLiteral("typed"))) {
      Edit(*view, "newDir")->clear();
      QTest::keyClicks(Edit(*view, "newDir"), QStringLiteral("/mine"));
    } else if (how == QStringLiteral("chosen")) {
      m_form.chosenFolder = QStringLiteral("/mine");
      Button(*view, "browseFolder")->click();
    }
    m_form.chosenSource = second;
    Button(*view, "browseSource")->click();
    QCOMPARE(Edit(*view, "newDir")->text(), expected);
  }

  void choosingTheFolder() {
    const auto view = m_form.NewView(QStringLiteral("/books/novel.txt"));
    Button(*view, "dirNew")->click();
    m_form.chosenFolder = QStringLiteral("/books/pieces");
    Button(*view, "browseFolder")->click();
    QCOMPARE(Edit(*view, "newDir")->text(), QStringLiteral("/books/pieces"));
    m_form.chosenFolder.clear();  // cancelled
    Button(*view, "browseFolder")->click();
    QCOMPARE(Edit(*view, "newDir")->text(), QStringLiteral("/books/pieces"));
  }

  void droppingATextFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("dropped.TXT"));
    QVERIFY(sekato::ui::test::WriteFile(path, "x"));
    const auto view = m_form.NewView();
    view->resize(800, 700);  // the whole form in view, as in its fitted frame

    using sekato::ui::test::DropUrls;
    QVERIFY(!DropUrls(Item<QWidget>(view.get(), "keywords"),
                      {QUrl::fromLocalFile(dir.filePath("a.png"))}));
    QVERIFY(view->SourceFile().isEmpty());

    // Over an edit field that would otherwise take the file's address as text.
    QVERIFY(DropUrls(Item<QWidget>(view.get(), "keywords"), {QUrl::fromLocalFile(path)}));
    QCOMPARE(view->SourceFile(), path);
    QCOMPARE(Edit(*view, "customName")->text(), QStringLiteral("dropped"));
    QCOMPARE(Edit(*view, "keywords")->text(), QStringLiteral("第  章"));

    // And over a label, which takes no drops itself.
    const QString other = dir.filePath(QStringLiteral("other.txt"));
    QVERIFY(DropUrls(view->findChild<QLabel*>(), {QUrl::fromLocalFile(other)}));
    QCOMPARE(view->SourceFile(), other);
  }
};

QTEST_MAIN(TestCSekatoView)
#include "tst_csekatoview.moc"

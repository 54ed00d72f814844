// The splitter form on its own: template, defaults, enabling rules, choosers and drops.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>
#include <memory>

#include "cformtemplate.h"
#include "csekatoview.h"
#include "uitestsupport.h"

using namespace sekato::ui;
using sekato::ui::test::Item;

namespace {

// Every control with an id, and those the form starts with disabled.
const QStringList kAllIds = {"sourcePath",
                             "browseSource",
                             "dirBesideSource",
                             "dirNew",
                             "newDir",
                             "browseFolder",
                             "nameSource",
                             "nameCustom",
                             "customName",
                             "nameChapter",
                             "splitModeChapter",
                             "splitModeEven",
                             "keywords",
                             "chaptersPerFile",
                             "maxKb",
                             "keepLines",
                             "splitModeSize",
                             "parts",
                             "titleMax",
                             "trimSpaces",
                             "noAd",
                             "addHead",
                             "head",
                             "addTail",
                             "tail",
                             "progress",
                             "numerals",
                             "encoding",
                             "outEncoding"};
const QStringList kStartDisabled = {"newDir",    "browseFolder", "customName", "maxKb",
                                    "keepLines", "parts",        "head",       "tail"};

QMap<QString, bool> EnabledStates(const CSekatoView& view) {
  QMap<QString, bool> states;
  for (const QString& id : kAllIds) states.insert(id, Item<QWidget>(&view, id)->isEnabled());
  return states;
}

QLineEdit* Edit(const CSekatoView& view, const QString& id) { return Item<QLineEdit>(&view, id); }
QAbstractButton* Button(const CSekatoView& view, const QString& id) {
  return Item<QAbstractButton>(&view, id);
}

}  // namespace

class TestCSekatoView : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<CSekatoView> NewView(const QString& source = {}) {
    auto view = std::make_unique<CSekatoView>();
    FileChoosers choosers;
    choosers.chooseSourceFile = [this](QWidget*) { return m_chosenSource; };
    choosers.chooseFolder = [this](QWidget*) { return m_chosenFolder; };
    view->SetChoosers(choosers);
    view->OnInitialUpdate();
    if (!source.isEmpty()) {
      m_chosenSource = source;
      Button(*view, "browseSource")->click();
    }
    return view;
  }

  QString m_chosenSource;
  QString m_chosenFolder;

 private slots:
  void init() {
    m_chosenSource.clear();
    m_chosenFolder.clear();
  }

  void constructionShowsNothingSelected() {
    CSekatoView view;
    for (QRadioButton* radio : view.findChildren<QRadioButton*>()) QVERIFY(!radio->isChecked());
    for (const char* group : {"dirMode", "nameMode", "splitMode"}) {
      QCOMPARE(Item<QButtonGroup>(&view, group)->checkedId(), -1);
    }
    QCOMPARE(Edit(view, "keywords")->text(), QString());
  }

  // Tests, tools and the remembered form find the controls by what they are for, never by a
  // number, and no two share a name.
  void controlsHaveNamesOfWhatTheyAreFor() {
    const auto view = NewView();
    QStringList names;
    for (const QWidget* control : view->widget()->findChildren<QWidget*>()) {
      if (control->property("controlId").isValid()) {
        QVERIFY2(!control->objectName().isEmpty(), qPrintable(control->metaObject()->className()));
        names << control->objectName();
      }
    }
    QCOMPARE(names.size(), 39);
    for (const QString& name : names) {
      QVERIFY2(name.front().isLower() && !name.contains(QRegularExpression(QStringLiteral("\\d"))),
               qPrintable(name));
    }
    names.removeDuplicates();
    QCOMPARE(names.size(), 39);
    for (const char* group : {"dirMode", "nameMode", "splitMode"}) {
      QVERIFY2(Item<QButtonGroup>(view.get(), group) != nullptr, group);
    }
  }

  void defaultsAfterInitialUpdate() {
    const auto view = NewView();
    QVERIFY(Button(*view, "dirBesideSource")->isChecked());   // folder beside the source
    QVERIFY(Button(*view, "nameSource")->isChecked());        // source title + number
    QVERIFY(Button(*view, "splitModeChapter")->isChecked());  // by chapter
    QCOMPARE(Edit(*view, "keywords")->text(), QStringLiteral("第  章"));
    QCOMPARE(Edit(*view, "chaptersPerFile")->text(), QStringLiteral("1"));
    QCOMPARE(Edit(*view, "titleMax")->text(), QStringLiteral("20"));
    QCOMPARE(Edit(*view, "maxKb")->text(), QStringLiteral("1000"));
    QCOMPARE(Edit(*view, "parts")->text(), QStringLiteral("5"));
    for (const char* id : {"sourcePath", "newDir", "customName", "head", "tail"})
      QVERIFY(Edit(*view, id)->text().isEmpty());
    for (const char* id : {"keepLines", "trimSpaces", "noAd", "addHead", "addTail"})
      QVERIFY(!Button(*view, id)->isChecked());

    auto* combo = Item<QComboBox>(view.get(), "numerals");
    QCOMPARE(combo->count(), 3);
    QCOMPARE(combo->itemText(0), QStringLiteral("1,2,3..."));
    QCOMPARE(combo->itemText(1), QStringLiteral("１,２，３..."));
    QCOMPARE(combo->itemText(2), QStringLiteral("一,二,三..."));
    QCOMPARE(combo->currentIndex(), -1);

    const QMap<QString, bool> states = EnabledStates(*view);
    for (const QString& id : kAllIds) QCOMPARE(states[id], !kStartDisabled.contains(id));
    QVERIFY(Edit(*view, "sourcePath")->isReadOnly());
    // The keyboard starts at the first field once the form is shown.
    view->show();
    QVERIFY(QTest::qWaitForWindowActive(view.get()));
    QCOMPARE(QApplication::focusWidget(), Edit(*view, "sourcePath"));
  }

  void formLayoutHoldsAtEveryWidth() {
    const auto view = NewView();
    view->show();
    const QSize least = view->widget()->minimumSize();
    QVERIFY(least.isValid());
    for (const int extra : {0, 1, 37, 100, 400}) {
      view->resize(least + QSize(extra, 0));
      const QStringList faults = test::FormLayoutFaults(view->widget());
      QVERIFY2(faults.isEmpty(), qPrintable(QString::number(extra) + QStringLiteral(" wider: ") +
                                            faults.join(QStringLiteral("; "))));
    }
  }

  void widerPageStretchesTheLongFieldsOnly() {
    const auto view = NewView();
    view->show();
    const QSize least = view->widget()->minimumSize();
    view->resize(least);
    const auto geometry = [&](const char* id) { return Item<QWidget>(view.get(), id)->geometry(); };
    const QRect path = geometry("sourcePath"), bar = geometry("progress"),
                browse = geometry("browseSource");
    const QRect numerals = geometry("numerals"), encoding = geometry("encoding");
    const int page = view->widget()->width();

    view->resize(least + QSize(100, 0));
    const int grown = view->widget()->width() - page;
    QVERIFY(grown > 0);
    // The path and the progress bar take the new width; "…" keeps to the right edge.
    QCOMPARE(geometry("sourcePath"), path.adjusted(0, 0, grown, 0));
    QCOMPARE(geometry("progress"), bar.adjusted(0, 0, grown, 0));
    QCOMPARE(geometry("browseSource"), browse.translated(grown, 0));
    QCOMPARE(geometry("numerals"), numerals);
    QCOMPARE(geometry("encoding"), encoding);
  }

  void templateCaptionsAndGroups() {
    const auto view = NewView();
    QCOMPARE(Button(*view, "browseSource")->text(),
             QString(QChar(0x2026)));  // one ellipsis character
    QCOMPARE(Button(*view, "browseFolder")->text(), QString(QChar(0x2026)));
    QCOMPARE(Button(*view, "nameCustom")->text(), QStringLiteral("自定文件名+自动序号:"));
    QStringList labels;
    for (auto* label : view->findChildren<QLabel*>()) labels << label->text();
    QVERIFY(labels.contains(QStringLiteral(",替换?的自增符(&I):")));
    QVERIFY(labels.contains(QStringLiteral("章放入同一文件(&C) )")));
    // The line of what detection found, the note of a kept list, 简繁转换 and the rule count.
    QCOMPARE(labels.size(), 19);
    QCOMPARE(view->findChildren<QGroupBox*>().size(), 3);

    // The options read each radio group's checked button.
    Button(*view, "nameChapter")->click();
    Button(*view, "splitModeEven")->click();
    Button(*view, "dirNew")->click();
    const sekato::engine::SplitOptions options = view->GetSplitOptions();
    QCOMPARE(options.naming,
             sekato::engine::PieceNaming::SourceTitle);  // even took chapter names away
    QCOMPARE(options.mode, sekato::engine::SplitMode::Evenly);
    QCOMPARE(options.folder, sekato::engine::FolderChoice::NewFolder);
  }

  void keyboardWalksTheFormTopToBottom() {
    const auto view = NewView();
    view->show();
    QVERIFY(QTest::qWaitForWindowActive(view.get()));
    // Tab stops at every enabled field and once per radio group (its checked button), and
    // comes round to the first field again.
    const QStringList expected = {
        "sourcePath",    "browseSource", "dirBesideSource",  "nameSource",
        "encoding",      "outEncoding",  "splitModeChapter", "headingRule",
        "keywords",      "numerals",     "titleMax",         "chaptersPerFile",
        "noAd",          "trimSpaces",   "addHead",          "addTail",
        "convertScript", "replaceRules", "sourcePath"};
    QStringList order;
    for (int i = 0; i < expected.size(); ++i) {
      order << QApplication::focusWidget()->objectName();
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(order, expected);

    // Arrow keys move within a group, choosing as they go, and the form follows the choice.
    Button(*view, "splitModeChapter")->setFocus();
    QTest::keyClick(Button(*view, "splitModeChapter"), Qt::Key_Down);
    QCOMPARE(QApplication::focusWidget(), Button(*view, "splitModeSize"));
    QVERIFY(Button(*view, "splitModeSize")->isChecked());
    QVERIFY(Item<QWidget>(view.get(), "maxKb")->isEnabled());
    QTest::keyClick(Button(*view, "splitModeSize"), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(),
             Item<QWidget>(view.get(), "numerals"));  // the group is one stop
  }

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
    const auto view = NewView();
    for (const QString& id : setup) Button(*view, id)->click();
    const QMap<QString, bool> before = EnabledStates(*view);
    Button(*view, clicked)->click();
    const QMap<QString, bool> after = EnabledStates(*view);
    for (const QString& id : kAllIds) {
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
      const auto view = NewView();
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
    const auto view = NewView();
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
    const auto view = NewView(QStringLiteral("/books/novel.txt"));
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
    const auto view = NewView(QStringLiteral("/books/novel.txt"));
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
    m_chosenSource = QStringLiteral("/books/其它.小说.txt");
    Button(*view, "browseSource")->click();
    QCOMPARE(Edit(*view, "customName")->text(), QStringLiteral("其它.小说"));
    // The new folder follows the book: the last book's folder was not chosen for this one.
    QCOMPARE(Edit(*view, "newDir")->text(), QStringLiteral("/books/其它.小说"));
    Edit(*view, "customName")->setText(QStringLiteral("mine"));
    m_chosenSource.clear();
    Button(*view, "browseSource")->click();
    QCOMPARE(Edit(*view, "customName")->text(), QStringLiteral("mine"));
    QCOMPARE(view->GetSplitOptions().customName, std::string("mine"));
    QCOMPARE(view->SourceFile(), QStringLiteral("/books/其它.小说.txt"));
  }

  void encodingsListedAndTheDetectedOneNamed() {
    const auto view = NewView();
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
    auto view = NewView();
    Button(*view, "dirNew")->click();
    QVERIFY(Edit(*view, "newDir")->text().isEmpty());
    QVERIFY(Edit(*view, "newDir")->isEnabled());

    // A "." only in a folder name is no extension: there is no folder beside the source.
    view = NewView(QStringLiteral("/my.books/novel"));
    QCOMPARE(view->GetSplitOptions().sourceBase, std::string());
    QCOMPARE(view->GetSplitOptions().sourceTitle, std::string("novel"));
    Button(*view, "dirNew")->click();
    QVERIFY(Edit(*view, "newDir")->text().isEmpty());

    // Text already in the field at the last exchange is kept.
    view = NewView(QStringLiteral("/books/novel.txt"));
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
    const auto view =
        NewView(how == QStringLiteral("typed first") ? QString() : QStringLiteral("/books/a.txt"));
    Button(*view, "dirNew")->click();
    if (how.startsWith(QStringLiteral("typed"))) {
      Edit(*view, "newDir")->clear();
      QTest::keyClicks(Edit(*view, "newDir"), QStringLiteral("/mine"));
    } else if (how == QStringLiteral("chosen")) {
      m_chosenFolder = QStringLiteral("/mine");
      Button(*view, "browseFolder")->click();
    }
    m_chosenSource = second;
    Button(*view, "browseSource")->click();
    QCOMPARE(Edit(*view, "newDir")->text(), expected);
  }

  // Number fields take digits only, so nothing typed there reads as a surprise.
  void numberFieldsTakeDigitsOnly_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("letters") << "abc"
                             << "";
    QTest::newRow("zero") << "0"
                          << "0";
    QTest::newRow("minus one") << "-1"
                               << "1";
    QTest::newRow("one and a half") << "1.5"
                                    << "15";
    QTest::newRow("large") << "999999"
                           << "999999";
  }

  void numberFieldsTakeDigitsOnly() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    const auto view = NewView();
    for (const char* id : {"titleMax", "chaptersPerFile", "maxKb", "parts"}) {
      QLineEdit* edit = Edit(*view, id);
      edit->setEnabled(true);
      edit->clear();
      QTest::keyClicks(edit, typed);
      QCOMPARE(edit->text(), shown);
    }
  }

  // A screen reader tells every input, button and the bar apart by its name.
  void accessibleNamesAreUniqueAndNonEmpty() {
    const auto view = NewView();
    QStringList names;
    QList<QWidget*> inputs;
    for (QWidget* w : view->widget()->findChildren<QWidget*>()) {
      if (qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractButton*>(w) ||
          qobject_cast<QComboBox*>(w) || qobject_cast<QProgressBar*>(w)) {
        inputs << w;
      }
    }
    QVERIFY(inputs.size() > 20);
    for (QWidget* w : inputs) {
      // A button reads its caption unless it has a name of its own.
      const auto* button = qobject_cast<QAbstractButton*>(w);
      QString name = w->accessibleName();
      if (name.isEmpty() && button != nullptr) name = button->text().remove(QLatin1Char('&'));
      QVERIFY2(!name.isEmpty() && name != QStringLiteral("..."), qPrintable(w->objectName()));
      QVERIFY2(!names.contains(name), qPrintable(name));
      names << name;
    }
    QCOMPARE(Button(*view, "browseSource")->accessibleName(), QStringLiteral("选择源文件"));
    QCOMPARE(Button(*view, "browseFolder")->accessibleName(), QStringLiteral("选择保存目录"));
  }

  void choosingTheFolder() {
    const auto view = NewView(QStringLiteral("/books/novel.txt"));
    Button(*view, "dirNew")->click();
    m_chosenFolder = QStringLiteral("/books/pieces");
    Button(*view, "browseFolder")->click();
    QCOMPARE(Edit(*view, "newDir")->text(), QStringLiteral("/books/pieces"));
    m_chosenFolder.clear();  // cancelled
    Button(*view, "browseFolder")->click();
    QCOMPARE(Edit(*view, "newDir")->text(), QStringLiteral("/books/pieces"));
  }

  void droppingATextFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("dropped.TXT"));
    QVERIFY(sekato::ui::test::WriteFile(path, "x"));
    const auto view = NewView();
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

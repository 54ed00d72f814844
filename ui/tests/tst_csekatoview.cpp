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
const QList<int> kAllIds = {1000, 1001, 1003, 1004, 1005, 1006, 1007, 1008, 1009, 1010,
                            1013, 1014, 1015, 1016, 1017, 1018, 1019, 1020, 1021, 1022,
                            1023, 1024, 1025, 1026, 1027, 1028, 1031, 1032, 1033};
const QList<int> kStartDisabled = {1005, 1006, 1009, 1017, 1018, 1020, 1025, 1027};

QMap<int, bool> EnabledStates(const CSekatoView& view) {
  QMap<int, bool> states;
  for (int id : kAllIds) states.insert(id, view.GetDlgItem(id)->isEnabled());
  return states;
}

QLineEdit* Edit(const CSekatoView& view, int id) { return Item<QLineEdit>(&view, id); }
QAbstractButton* Button(const CSekatoView& view, int id) {
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
      Button(*view, 1001)->click();
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
    view.UpdateData(false);
    for (QRadioButton* radio : view.findChildren<QRadioButton*>()) QVERIFY(!radio->isChecked());
    view.UpdateData(true);
    QCOMPARE(view.m_nDirMode, -1);
    QCOMPARE(view.m_nNameMode, -1);
    QCOMPARE(view.m_nSplitMode, -1);
    QCOMPARE(view.m_strKeywords, QString());
  }

  void defaultsAfterInitialUpdate() {
    const auto view = NewView();
    QVERIFY(Button(*view, 1003)->isChecked());  // folder beside the source
    QVERIFY(Button(*view, 1007)->isChecked());  // source title + number
    QVERIFY(Button(*view, 1013)->isChecked());  // by chapter
    QCOMPARE(Edit(*view, 1015)->text(), QStringLiteral("第  章"));
    QCOMPARE(Edit(*view, 1016)->text(), QStringLiteral("1"));
    QCOMPARE(Edit(*view, 1021)->text(), QStringLiteral("20"));
    QCOMPARE(Edit(*view, 1017)->text(), QStringLiteral("1000"));
    QCOMPARE(Edit(*view, 1020)->text(), QStringLiteral("5"));
    for (int id : {1000, 1005, 1009, 1025, 1027}) QVERIFY(Edit(*view, id)->text().isEmpty());
    for (int id : {1018, 1022, 1023, 1024, 1026}) QVERIFY(!Button(*view, id)->isChecked());

    auto* combo = Item<QComboBox>(view.get(), 1031);
    QCOMPARE(view->m_comboNumerals, combo);
    QCOMPARE(combo->count(), 3);
    QCOMPARE(combo->itemText(0), QStringLiteral("1,2,3..."));
    QCOMPARE(combo->itemText(1), QStringLiteral("１,２，３..."));
    QCOMPARE(combo->itemText(2), QStringLiteral("一,二,三..."));
    QCOMPARE(combo->currentIndex(), -1);

    const QMap<int, bool> states = EnabledStates(*view);
    for (int id : kAllIds) QCOMPARE(states[id], !kStartDisabled.contains(id));
    QVERIFY(Edit(*view, 1000)->isReadOnly());
    // The keyboard starts at the first field once the form is shown.
    view->show();
    QVERIFY(QTest::qWaitForWindowActive(view.get()));
    QCOMPARE(QApplication::focusWidget(), Edit(*view, 1000));
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
    const auto geometry = [&](int id) { return view->GetDlgItem(id)->geometry(); };
    const QRect path = geometry(1000), bar = geometry(1028), browse = geometry(1001);
    const QRect numerals = geometry(1031), encoding = geometry(1032);
    const int page = view->widget()->width();

    view->resize(least + QSize(100, 0));
    const int grown = view->widget()->width() - page;
    QVERIFY(grown > 0);
    // The path and the progress bar take the new width; "…" keeps to the right edge.
    QCOMPARE(geometry(1000), path.adjusted(0, 0, grown, 0));
    QCOMPARE(geometry(1028), bar.adjusted(0, 0, grown, 0));
    QCOMPARE(geometry(1001), browse.translated(grown, 0));
    QCOMPARE(geometry(1031), numerals);
    QCOMPARE(geometry(1032), encoding);
  }

  void templateCaptionsAndGroups() {
    const auto view = NewView();
    QCOMPARE(Button(*view, 1001)->text(), QString(QChar(0x2026)));  // one ellipsis character
    QCOMPARE(Button(*view, 1006)->text(), QString(QChar(0x2026)));
    QCOMPARE(Button(*view, 1008)->text(), QStringLiteral("自定文件名+自动序号:"));
    QStringList labels;
    for (auto* label : view->findChildren<QLabel*>()) labels << label->text();
    QVERIFY(labels.contains(QStringLiteral(",替换?的自增符:")));
    QVERIFY(labels.contains(QStringLiteral("章放入同一文件 )")));
    // The line of what detection found, the note of a kept list, 简繁转换 and the rule count.
    QCOMPARE(labels.size(), 19);
    QCOMPARE(view->findChildren<QGroupBox*>().size(), 3);

    // Each radio group exchanges the position of its checked button.
    Button(*view, 1010)->click();
    Button(*view, 1014)->click();
    Button(*view, 1004)->click();
    view->UpdateData(true);
    QCOMPARE(view->m_nNameMode, 0);  // even mode took chapter names away
    QCOMPARE(view->m_nSplitMode, 2);
    QCOMPARE(view->m_nDirMode, 0);
  }

  void keyboardWalksTheFormTopToBottom() {
    const auto view = NewView();
    view->show();
    QVERIFY(QTest::qWaitForWindowActive(view.get()));
    // Tab stops at every enabled field and once per radio group (its checked button), and
    // comes round to the first field again.
    const QList<int> expected = {1000, 1001, 1003, 1007, 1032, 1033, 1013, 1040, 1015, 1031,
                                 1021, 1016, 1023, 1022, 1024, 1026, 1061, 1062, 1000};
    QList<int> order;
    for (int i = 0; i < expected.size(); ++i) {
      order << QApplication::focusWidget()->property("controlId").toInt();
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(order, expected);

    // Arrow keys move within a group, choosing as they go, and the form follows the choice.
    Button(*view, 1013)->setFocus();
    QTest::keyClick(Button(*view, 1013), Qt::Key_Down);
    QCOMPARE(QApplication::focusWidget(), Button(*view, 1019));
    QVERIFY(Button(*view, 1019)->isChecked());
    QVERIFY(view->GetDlgItem(1017)->isEnabled());
    QTest::keyClick(Button(*view, 1019), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), view->GetDlgItem(1031));  // the group is one stop
  }

  void enablingRules_data() {
    QTest::addColumn<QList<int>>("setup");  // clicks that make the change visible
    QTest::addColumn<int>("clicked");
    QTest::addColumn<QList<int>>("enabled");
    QTest::addColumn<QList<int>>("disabled");
    QTest::newRow("1004 new folder")
        << QList<int>{} << 1004 << QList<int>{1005, 1006} << QList<int>{};
    QTest::newRow("1003 beside source")
        << QList<int>{1004} << 1003 << QList<int>{} << QList<int>{1005, 1006};
    QTest::newRow("1008 custom name") << QList<int>{} << 1008 << QList<int>{1009} << QList<int>{};
    QTest::newRow("1007 source name")
        << QList<int>{1008} << 1007 << QList<int>{} << QList<int>{1009};
    QTest::newRow("1010 chapter name")
        << QList<int>{1008} << 1010 << QList<int>{} << QList<int>{1009};
    QTest::newRow("1013 by chapter")
        << QList<int>{1019} << 1013 << QList<int>{1010, 1015, 1021, 1016}
        << QList<int>{1017, 1018, 1020};
    QTest::newRow("1013 after even")
        << QList<int>{1014} << 1013 << QList<int>{1010, 1015, 1021, 1016}
        << QList<int>{1017, 1018, 1020};
    QTest::newRow("1019 by size") << QList<int>{} << 1019 << QList<int>{1017, 1018}
                                  << QList<int>{1010, 1015, 1021, 1016, 1020};
    QTest::newRow("1019 after even") << QList<int>{1014} << 1019 << QList<int>{1017, 1018}
                                     << QList<int>{1010, 1015, 1021, 1016, 1020};
    QTest::newRow("1014 evenly") << QList<int>{1019} << 1014 << QList<int>{1020}
                                 << QList<int>{1010, 1015, 1021, 1016, 1017, 1018};
    QTest::newRow("1024 head on") << QList<int>{} << 1024 << QList<int>{1025} << QList<int>{};
    QTest::newRow("1024 head off") << QList<int>{1024} << 1024 << QList<int>{} << QList<int>{1025};
    QTest::newRow("1026 tail on") << QList<int>{} << 1026 << QList<int>{1027} << QList<int>{};
    QTest::newRow("1026 tail off") << QList<int>{1026} << 1026 << QList<int>{} << QList<int>{1027};
  }

  void enablingRules() {
    QFETCH(QList<int>, setup);
    QFETCH(int, clicked);
    QFETCH(QList<int>, enabled);
    QFETCH(QList<int>, disabled);
    const auto view = NewView();
    for (int id : setup) Button(*view, id)->click();
    const QMap<int, bool> before = EnabledStates(*view);
    Button(*view, clicked)->click();
    const QMap<int, bool> after = EnabledStates(*view);
    for (int id : kAllIds) {
      if (enabled.contains(id)) {
        QVERIFY2(after[id], qPrintable(QString::number(id)));
      } else if (disabled.contains(id)) {
        QVERIFY2(!after[id], qPrintable(QString::number(id)));
      } else {
        QVERIFY2(after[id] == before[id], qPrintable(QString::number(id)));  // nothing else
      }
    }
  }

  void sizeAndEvenLeaveChapterNames() {
    for (int mode : {1019, 1014}) {
      const auto view = NewView();
      Button(*view, 1010)->click();
      Button(*view, mode)->click();
      QVERIFY(Button(*view, 1007)->isChecked());
      QCOMPARE(view->m_nNameMode, 0);
      QVERIFY(!view->GetDlgItem(1010)->isEnabled());
      Button(*view, 1013)->click();
      QVERIFY(view->GetDlgItem(1010)->isEnabled());
      QVERIFY(Button(*view, 1007)->isChecked());  // not given back
    }
  }

  void chapterModeDoesNotExchange() {
    const auto view = NewView();
    Edit(*view, 1015)->setText(QStringLiteral("第 回"));
    Button(*view, 1013)->click();
    QCOMPARE(view->m_strKeywords, QStringLiteral("第  章"));
    QCOMPARE(Edit(*view, 1015)->text(), QStringLiteral("第 回"));  // nor overwrite the field
    Button(*view, 1019)->click();                                  // this one exchanges in and out
    QCOMPARE(view->m_strKeywords, QStringLiteral("第 回"));
    QCOMPARE(view->m_nSplitMode, 1);
  }

  void headingRuleIsCheckedAsItIsTyped() {
    const auto view = NewView(QStringLiteral("/books/novel.txt"));
    const CSplitRunControl* run = view->RunControl();
    QLineEdit* regex = Edit(*view, 1041);
    QVERIFY(run->CanStart());
    QVERIFY(!regex->isVisibleTo(view.get()));
    Item<QComboBox>(view.get(), 1040)->setCurrentIndex(CSekatoView::kRuleRegex);
    view->OnHeadingRule();
    // The rule takes the place of the keywords and their numerals.
    QVERIFY(regex->isVisibleTo(view.get()));
    for (int id : {1015, 1031, 1042}) QVERIFY(!view->GetDlgItem(id)->isVisibleTo(view.get()));
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
    view->UpdateData(true);
    QCOMPARE(view->GetSplitOptions().regex, std::string("^第(?<n>\\d+)章"));

    // A bad rule holds Start only while headings go by it.
    regex->setText(QStringLiteral("第("));
    Button(*view, 1019)->click();  // by size
    QVERIFY(run->CanStart());
    Button(*view, 1013)->click();
    QVERIFY(!run->CanStart());
    Item<QComboBox>(view.get(), 1040)->setCurrentIndex(CSekatoView::kRuleKeywords);
    view->OnHeadingRule();
    QVERIFY(run->CanStart());
    view->UpdateData(true);
    QVERIFY(view->GetSplitOptions().regex.empty());
  }

  void choosingTheSource() {
    const auto view = NewView(QStringLiteral("/books/novel.txt"));
    QCOMPARE(Edit(*view, 1000)->text(), QStringLiteral("/books/novel.txt"));
    QCOMPARE(Edit(*view, 1009)->text(), QStringLiteral("novel"));
    QCOMPARE(view->m_strSrcTitle, QStringLiteral("novel"));
    QCOMPARE(view->m_strSrcBase, QStringLiteral("/books/novel"));
    Button(*view, 1004)->click();  // an empty new folder starts as the folder beside the source
    QCOMPARE(Edit(*view, 1005)->text(), QStringLiteral("/books/novel"));
    QCOMPARE(view->m_strNewDir, QStringLiteral("/books/novel"));
    QCOMPARE(view->m_nDirMode, 0);

    // Another source replaces a typed custom name; cancelling changes nothing.
    Button(*view, 1008)->click();
    Edit(*view, 1009)->setText(QStringLiteral("mine"));
    m_chosenSource = QStringLiteral("/books/其它.小说.txt");
    Button(*view, 1001)->click();
    QCOMPARE(Edit(*view, 1009)->text(), QStringLiteral("其它.小说"));
    // The new folder follows the book: the last book's folder was not chosen for this one.
    QCOMPARE(Edit(*view, 1005)->text(), QStringLiteral("/books/其它.小说"));
    Edit(*view, 1009)->setText(QStringLiteral("mine"));
    m_chosenSource.clear();
    Button(*view, 1001)->click();
    QCOMPARE(Edit(*view, 1009)->text(), QStringLiteral("mine"));
    QCOMPARE(view->m_strCustomName, QStringLiteral("mine"));
    QCOMPARE(view->m_strSrcPath, QStringLiteral("/books/其它.小说.txt"));
  }

  void encodingsListedAndTheDetectedOneNamed() {
    const auto view = NewView();
    const QStringList names = {QStringLiteral("GBK"),      QStringLiteral("GB18030"),
                               QStringLiteral("Big5"),     QStringLiteral("UTF-8"),
                               QStringLiteral("UTF-16LE"), QStringLiteral("UTF-16BE")};
    for (auto [id, first] : {std::pair{1032, QStringLiteral("自动检测")},
                             std::pair{1033, QStringLiteral("同源文件")}}) {
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
      QCOMPARE(Item<QComboBox>(view.get(), 1032)->itemText(0), c.shown);
    }
  }

  void newFolderWithoutUsableBase() {
    // No source yet: the field stays empty but can be typed into.
    auto view = NewView();
    Button(*view, 1004)->click();
    QVERIFY(Edit(*view, 1005)->text().isEmpty());
    QVERIFY(Edit(*view, 1005)->isEnabled());

    // A "." only in a folder name is no extension: there is no folder beside the source.
    view = NewView(QStringLiteral("/my.books/novel"));
    QCOMPARE(view->m_strSrcBase, QString());
    QCOMPARE(view->m_strSrcTitle, QStringLiteral("novel"));
    Button(*view, 1004)->click();
    QVERIFY(Edit(*view, 1005)->text().isEmpty());

    // Text already in the field at the last exchange is kept.
    view = NewView(QStringLiteral("/books/novel.txt"));
    Button(*view, 1004)->click();
    Edit(*view, 1005)->setText(QStringLiteral("/out"));
    Button(*view, 1003)->click();
    Button(*view, 1019)->click();  // an exchange in
    Button(*view, 1004)->click();
    QCOMPARE(Edit(*view, 1005)->text(), QStringLiteral("/out"));
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
    Button(*view, 1004)->click();
    if (how.startsWith(QStringLiteral("typed"))) {
      Edit(*view, 1005)->clear();
      QTest::keyClicks(Edit(*view, 1005), QStringLiteral("/mine"));
    } else if (how == QStringLiteral("chosen")) {
      m_chosenFolder = QStringLiteral("/mine");
      Button(*view, 1006)->click();
    }
    m_chosenSource = second;
    Button(*view, 1001)->click();
    QCOMPARE(Edit(*view, 1005)->text(), expected);
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
    for (const int id : {IDC_TITLEMAX, IDC_CHAPTERS_PER_FILE, IDC_MAXKB, IDC_PARTS}) {
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
    QCOMPARE(Button(*view, IDC_BROWSE_SRC)->accessibleName(), QStringLiteral("选择源文件"));
    QCOMPARE(Button(*view, IDC_BROWSE_DIR)->accessibleName(), QStringLiteral("选择保存目录"));
  }

  void choosingTheFolder() {
    const auto view = NewView(QStringLiteral("/books/novel.txt"));
    Button(*view, 1004)->click();
    m_chosenFolder = QStringLiteral("/books/pieces");
    Button(*view, 1006)->click();
    QCOMPARE(Edit(*view, 1005)->text(), QStringLiteral("/books/pieces"));
    QCOMPARE(view->m_strNewDir, QStringLiteral("/books/pieces"));
    m_chosenFolder.clear();  // cancelled
    Button(*view, 1006)->click();
    QCOMPARE(view->m_strNewDir, QStringLiteral("/books/pieces"));
  }

  void droppingATextFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("dropped.TXT"));
    QVERIFY(sekato::ui::test::WriteFile(path, "x"));
    const auto view = NewView();
    view->resize(800, 700);  // the whole form in view, as in its fitted frame

    using sekato::ui::test::DropUrls;
    QVERIFY(!DropUrls(view->GetDlgItem(1015), {QUrl::fromLocalFile(dir.filePath("a.png"))}));
    QVERIFY(view->m_strSrcPath.isEmpty());

    // Over an edit field that would otherwise take the file's address as text.
    QVERIFY(DropUrls(view->GetDlgItem(1015), {QUrl::fromLocalFile(path)}));
    QCOMPARE(view->m_strSrcPath, path);
    QCOMPARE(Edit(*view, 1009)->text(), QStringLiteral("dropped"));
    QCOMPARE(Edit(*view, 1015)->text(), QStringLiteral("第  章"));

    // And over a label, which takes no drops itself.
    const QString other = dir.filePath(QStringLiteral("other.txt"));
    QVERIFY(DropUrls(view->findChild<QLabel*>(), {QUrl::fromLocalFile(other)}));
    QCOMPARE(view->m_strSrcPath, other);
  }
};

QTEST_MAIN(TestCSekatoView)
#include "tst_csekatoview.moc"

// The splitter form as it first shows: its controls, their names, defaults and layout, and
// the keyboard's way through it.
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <memory>

#include "formundertest.h"
#include "uitestsupport.h"

using namespace sekato::ui;
using sekato::ui::test::Button;
using sekato::ui::test::Edit;
using sekato::ui::test::FormUnderTest;
using sekato::ui::test::Item;

class TestFormLayout : public QObject {
  Q_OBJECT

 private:
  FormUnderTest m_form;

 private slots:
  void init() { m_form.Reset(); }

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
    const auto view = m_form.NewView();
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
    const auto view = m_form.NewView();
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

    const QMap<QString, bool> states = FormUnderTest::EnabledStates(*view);
    for (const QString& id : FormUnderTest::AllIds())
      QCOMPARE(states[id], !FormUnderTest::StartDisabled().contains(id));
    QVERIFY(Edit(*view, "sourcePath")->isReadOnly());
    // The keyboard starts at the first field once the form is shown.
    view->show();
    QVERIFY(QTest::qWaitForWindowActive(view.get()));
    QCOMPARE(QApplication::focusWidget(), Edit(*view, "sourcePath"));
  }

  void formLayoutHoldsAtEveryWidth() {
    const auto view = m_form.NewView();
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
    const auto view = m_form.NewView();
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
    const auto view = m_form.NewView();
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
    const auto view = m_form.NewView();
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
    const auto view = m_form.NewView();
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
    const auto view = m_form.NewView();
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
};

QTEST_MAIN(TestFormLayout)
#include "tst_formlayout.moc"

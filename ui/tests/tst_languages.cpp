// The window's languages: each speaks its own words, the choice is remembered, Simplified
// Chinese stays the default, and switching keeps what the user has put into the form.
#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include "ckeptlist.h"
#include "cmainframe.h"
#include "csekatoapp.h"
#include "csekatoview.h"
#include "csourcelinesdlg.h"
#include "csourcelook.h"
#include "enginemessages.h"
#include "resourceids.h"
#include "sekato/messagecatalogue.h"
#include "uilanguage.h"
#include "uitestsupport.h"

using namespace sekato::ui;
using Language = UiLanguage::Language;
using sekato::engine::MessageCatalogue;
using sekato::engine::MessageId;

namespace {

QString ViewMenuText(const CSekatoApp& app) {
  return app.MainFrame()->menuBar()->actions().value(1)->text();
}

QAction* LanguageAction(const CSekatoApp& app, Language language) {
  return app.MainFrame()->findChild<QAction*>(QStringLiteral("actionLanguage_") +
                                              UiLanguage::Code(language));
}

}  // namespace

class TestLanguages : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    // The settings go to a folder of the test's own, never the user's.
    QVERIFY(m_settings.isValid());
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
  }

  void init() { QSettings().clear(); }

  void cleanup() { UiLanguage::Install(Language::SimplifiedChinese); }

  void speaksEachLanguage_data() {
    QTest::addColumn<Language>("language");
    QTest::addColumn<QString>("viewMenu");
    QTest::addColumn<QString>("completed");
    QTest::newRow("simplified") << Language::SimplifiedChinese << QStringLiteral("查看(&V)")
                                << QStringLiteral("文件分割完成！");
    QTest::newRow("traditional") << Language::TraditionalChinese << QStringLiteral("檢視(&V)")
                                 << QStringLiteral("檔案分割完成！");
    QTest::newRow("english") << Language::English << QStringLiteral("&View")
                             << QStringLiteral("Split complete.");
  }
  void speaksEachLanguage() {
    QFETCH(Language, language);
    QFETCH(QString, viewMenu);
    QFETCH(QString, completed);
    UiLanguage::Save(language);
    CSekatoApp app;
    QVERIFY(app.InitInstance({QStringLiteral("sekato")}));
    QCOMPARE(UiLanguage::Installed(), language);
    QCOMPARE(ViewMenuText(app), viewMenu);
    QCOMPARE(EngineMessages::Text({MessageId::Completed}), completed);
    QVERIFY(LanguageAction(app, language)->isChecked());
  }

  // The notes made by the helpers around the form (what detection found, the heading rule's
  // check, the queue's dock and a kept list) and the preview's view of lines speak each
  // language.
  void formNotesSpeakEachLanguage_data() {
    QTest::addColumn<Language>("language");
    // Encoding, detection, rule, queue, kept list, the lines' title and button.
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("simplified") << Language::SimplifiedChinese
                                << QStringList{QStringLiteral("自动检测（UTF-8）"),
                                               QStringLiteral("自动识别：没有找到成串编号的标题"),
                                               QStringLiteral("请输入标题的正则表达式。"),
                                               QStringLiteral("待分割的书"),
                                               QStringLiteral("按编辑后的目录（0 章） <a "
                                                              "href=\"rule\">改回按规则</a>"),
                                               QStringLiteral("第 3 行起"),
                                               QStringLiteral("把光标所在行设为标题")};
    QTest::newRow("traditional") << Language::TraditionalChinese
                                 << QStringList{QStringLiteral("自動檢測（UTF-8）"),
                                                QStringLiteral("自動識別：沒有找到成串編號的標題"),
                                                QStringLiteral("請輸入標題的正則表示式。"),
                                                QStringLiteral("待分割的書"),
                                                QStringLiteral("按編輯後的目錄（0 章） <a "
                                                               "href=\"rule\">改回按規則</a>"),
                                                QStringLiteral("第 3 行起"),
                                                QStringLiteral("把游標所在行設為標題")};
    QTest::newRow("english") << Language::English
                             << QStringList{QStringLiteral("Auto-detect (UTF-8)"),
                                            QStringLiteral("Auto-detect: no run of numbered "
                                                           "headings found"),
                                            QStringLiteral("Enter a regular expression for the "
                                                           "headings."),
                                            QStringLiteral("Books to Split"),
                                            QStringLiteral("By the edited chapter list (0 "
                                                           "chapters) <a href=\"rule\">Back to "
                                                           "the rule</a>"),
                                            QStringLiteral("From Line 3"),
                                            QStringLiteral("Make the Cursor Line a Heading")};
  }
  void formNotesSpeakEachLanguage() {
    QFETCH(Language, language);
    QFETCH(QStringList, expected);
    QTemporaryDir dir;
    const QString book = dir.filePath(QStringLiteral("book.txt"));
    QVERIFY(
        test::WriteFile(book, QStringLiteral("这是一段正文，没有标题。\n").repeated(40).toUtf8()));
    UiLanguage::Save(language);
    CSekatoApp app;
    QVERIFY(app.InitInstance({QStringLiteral("sekato")}));
    CSekatoView* view = app.View();
    view->ChooseSources({book, dir.filePath(QStringLiteral("other.txt"))});
    QVERIFY(test::WaitUntil([&] { return !view->SourceLook()->IsRunning(); }));
    view->findChild<QComboBox*>(QStringLiteral("headingRule"))
        ->setCurrentIndex(CSekatoView::kRuleRegex);
    QLabel note;
    CKeptList kept(&note);
    kept.Keep(sekato::engine::ChapterList{}, "book.txt");
    const CSourceLinesDlg lines({}, 3);
    const QStringList shown = {
        view->findChild<QComboBox*>(QStringLiteral("encoding"))->itemText(0),
        view->findChild<QLabel*>(QStringLiteral("detected"))->toolTip(),
        view->findChild<QLineEdit*>(QStringLiteral("regex"))->toolTip(),
        app.MainFrame()->findChild<QDockWidget*>(QStringLiteral("queueDock"))->windowTitle(),
        note.text(),
        lines.windowTitle(),
        lines.findChild<QPushButton*>(QStringLiteral("insertLine"))->text()};
    QCOMPARE(shown, expected);
  }

  // In each language every label that names a field has a letter of its own, none of the
  // menu bar's.
  void labelMnemonicsAreUnique_data() {
    QTest::addColumn<Language>("language");
    QTest::addColumn<QString>("sourceLabel");
    QTest::newRow("simplified") << Language::SimplifiedChinese << QStringLiteral("源文件(&F):");
    QTest::newRow("traditional") << Language::TraditionalChinese << QStringLiteral("原始檔(&F):");
    QTest::newRow("english") << Language::English << QStringLiteral("Source &file:");
  }
  void labelMnemonicsAreUnique() {
    QFETCH(Language, language);
    QFETCH(QString, sourceLabel);
    UiLanguage::Save(language);
    CSekatoApp app;
    QVERIFY(app.InitInstance({QStringLiteral("sekato")}));
    QSet<QKeySequence> taken;
    for (const QAction* menu : app.MainFrame()->menuBar()->actions()) {
      taken << QKeySequence::mnemonic(menu->text());
    }
    QCOMPARE(taken.size(), 3);
    taken << QKeySequence(Qt::ALT | Qt::Key_K);  // the keywords' own, for want of a label
    int labels = 0;
    for (const QLabel* label : app.View()->widget()->findChildren<QLabel*>()) {
      if (label->buddy() == nullptr) continue;
      ++labels;
      const QKeySequence key = QKeySequence::mnemonic(label->text());
      QVERIFY2(!key.isEmpty(), qPrintable(label->text()));
      QVERIFY2(!taken.contains(key), qPrintable(label->text()));
      taken << key;
      if (label->buddy()->objectName() == QStringLiteral("sourcePath")) {
        QCOMPARE(label->text(), sourceLabel);
      }
    }
    QCOMPARE(labels, 11);  // 简繁转换 among them
  }

  void simplifiedChineseWhateverTheLocale() {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    CSekatoApp app;
    QVERIFY(app.InitInstance({QStringLiteral("sekato")}));
    QCOMPARE(UiLanguage::Installed(), Language::SimplifiedChinese);
    QCOMPARE(ViewMenuText(app), QStringLiteral("查看(&V)"));
  }

  // Every message the engine can send has words in each language, so a new message id
  // cannot reach a user of another language in Chinese.
  void everyEngineMessageTranslated_data() {
    QTest::addColumn<Language>("language");
    QTest::newRow("traditional") << Language::TraditionalChinese;
    QTest::newRow("english") << Language::English;
  }
  void everyEngineMessageTranslated() {
    QFETCH(Language, language);
    QVERIFY(UiLanguage::Install(language));
    QStringList untranslated;
    int id = 0;
    for (;; ++id) {
      const auto messageId = static_cast<MessageId>(id);
      const std::string_view chinese = MessageCatalogue::Chinese(messageId);
      if (chinese.empty()) break;
      if (EngineMessages::Text({messageId}) == QString::fromUtf8(chinese.data(), chinese.size())) {
        untranslated << QString::number(id);
      }
    }
    QVERIFY(id > 40);
    QCOMPARE(untranslated, QStringList());
  }

  void joinedMessagesEndSentencesInTheLanguage() {
    QVERIFY(UiLanguage::Install(Language::English));
    sekato::engine::Message joined{MessageId::Completed};
    joined.then.push_back({MessageId::Stopped});
    const QString text = EngineMessages::Text(joined);
    QVERIFY2(!text.contains(QStringLiteral("。")), qPrintable(text));
  }

  void switchingKeepsTheFormAndRemembers() {
    QTemporaryDir dir;
    const QString book = dir.filePath(QStringLiteral("book.txt"));
    QVERIFY(test::WriteFile(book, test::Gbk(QStringLiteral("第一章\n正文\n"))));
    CSekatoApp app;
    QVERIFY(app.InitInstance({QStringLiteral("sekato"), book}));
    const QPointer<CSekatoView> before = app.View();
    auto* kb = before->findChild<QLineEdit*>(QStringLiteral("maxKb"));
    QVERIFY(kb != nullptr);
    kb->setText(QStringLiteral("321"));
    auto* numerals = before->findChild<QComboBox*>(QStringLiteral("numerals"));
    QVERIFY(numerals != nullptr);
    numerals->setCurrentIndex(1);
    const QPoint place = app.MainFrame()->pos();

    test::MessageCapture messages;
    LanguageAction(app, Language::English)->trigger();
    QTRY_COMPARE(UiLanguage::Installed(), Language::English);
    QTRY_VERIFY2(before.isNull() && app.View() != nullptr,
                 qPrintable(messages.texts.join(QLatin1Char('\n'))));
    QCOMPARE(ViewMenuText(app), QStringLiteral("&View"));
    QCOMPARE(QSettings().value(QStringLiteral("language")).toString(), QStringLiteral("en"));
    QCOMPARE(app.View()->findChild<QLineEdit*>(QStringLiteral("maxKb"))->text(),
             QStringLiteral("321"));
    QCOMPARE(app.View()->findChild<QComboBox*>(QStringLiteral("numerals"))->currentIndex(), 1);
    QCOMPARE(app.View()->SourceFile(), book);
    QCOMPARE(app.MainFrame()->pos(), place);
  }

 private:
  QTemporaryDir m_settings;
};

QTEST_MAIN(TestLanguages)
#include "tst_languages.moc"

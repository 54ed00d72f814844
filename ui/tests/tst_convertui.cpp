// 简繁转换 and 替换规则 on the form: the rules' editor, the check of the pieces' encoding, and
// splits with both compared byte for byte with sekato-cli.
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "appmessagebox.h"
#include "cconvertrow.h"
#include "cmainframe.h"
#include "creplacerulesdlg.h"
#include "csekatoapp.h"
#include "csekatoview.h"
#include "sekato/texttransform.h"
#include "uitestsupport.h"

using namespace sekato::ui;
using namespace sekato::ui::test;
using sekato::engine::Encoding;
using sekato::engine::ReplaceRuleText;

namespace {

QStringList Patterns(const std::vector<ReplaceRuleText>& rules) {
  QStringList patterns;
  for (const ReplaceRuleText& rule : rules) {
    patterns << QString::fromStdString(rule.pattern) + QStringLiteral(" → ") +
                    QString::fromStdString(rule.replacement);
  }
  return patterns;
}

// The index of `encoding` in the form's encoding lists.
int EncodingIndex(Encoding encoding) {
  const auto& all = sekato::engine::Encodings::kAll;
  return static_cast<int>(std::find(std::begin(all), std::end(all), encoding) - std::begin(all));
}

}  // namespace

class TestConvertUi : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir m_dir;
  std::unique_ptr<CSekatoApp> m_app;

  CSekatoView* View() { return m_app->View(); }
  CConvertRow* Row() { return View()->ConvertRow(); }
  QComboBox* Convert() { return View()->findChild<QComboBox*>(QStringLiteral("convertScript")); }
  QString Path(const QString& name) { return m_dir.filePath(name); }

  CReplaceRulesDlg* OpenEditor() {
    View()->findChild<QPushButton*>(QStringLiteral("replaceRules"))->click();
    return Row()->Editor();
  }
  static void TypeRule(CReplaceRulesDlg* dialog, const QString& pattern, const QString& with) {
    dialog->findChild<QPushButton*>(QStringLiteral("addRule"))->click();
    auto* table = dialog->findChild<QTableWidget*>(QStringLiteral("ruleTable"));
    const int row = table->rowCount() - 1;
    table->item(row, CReplaceRulesDlg::kPattern)->setText(pattern);
    table->item(row, CReplaceRulesDlg::kReplacement)->setText(with);
  }
  bool Finished() { return !View()->RunControl()->IsBusy(); }

 private slots:
  // The profile is the test's own (isolatedprofile.cpp); each case starts without rules.
  void initTestCase() { QVERIFY(m_dir.isValid()); }

  void init() {
    QSettings().clear();
    m_app = std::make_unique<CSekatoApp>();
    QVERIFY(m_app->InitInstance({QStringLiteral("sekato")}));
  }

  void cleanup() {
    m_app.reset();
    QSettings().clear();
  }

  // Typed, imported, moved and removed rules are exported as a file the command line reads
  // as the same rules, and OK makes them the form's, remembered for the next start.
  void editorRoundTrip() {
    CReplaceRulesDlg* dialog = OpenEditor();
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(dialog->Rules().size(), std::size_t{0});
    TypeRule(dialog, QStringLiteral("本章未完.*"), QString());
    TypeRule(dialog, QStringLiteral("(\\d+)章"), QStringLiteral("第$1章"));
    TypeRule(dialog, QStringLiteral("#广告=>"), QStringLiteral("x=>y"));  // file syntax inside
    const QString imported = Path(QStringLiteral("import.txt"));
    QVERIFY(WriteFile(imported, QByteArray("\xEF\xBB\xBF# shared list\r\n笔趣阁=>\r\n\r\n"
                                           "  # indented comment\nwww\\.\\w+\\.com\n")));
    dialog->SetChoosers({[&](QWidget*) { return imported; }, {}});
    dialog->findChild<QPushButton*>(QStringLiteral("importRules"))->click();
    auto* table = dialog->findChild<QTableWidget*>(QStringLiteral("ruleTable"));
    QCOMPARE(table->rowCount(), 5);
    table->setCurrentCell(4, 0);
    dialog->findChild<QPushButton*>(QStringLiteral("moveRuleUp"))->click();
    table->setCurrentCell(0, 0);
    dialog->findChild<QPushButton*>(QStringLiteral("moveRuleDown"))->click();
    table->setCurrentCell(2, 0);
    dialog->findChild<QPushButton*>(QStringLiteral("removeRule"))->click();
    const QStringList expected = {
        QStringLiteral("(\\d+)章 → 第$1章"), QStringLiteral("本章未完.* → "),
        QStringLiteral("www\\.\\w+\\.com → "), QStringLiteral("笔趣阁 → ")};
    QCOMPARE(Patterns(dialog->Rules()), expected);

    // The exported file holds the same rules; "=>" and "#" in a pattern are escaped.
    const QString exported = Path(QStringLiteral("export.txt"));
    TypeRule(dialog, QStringLiteral("#广告=>"), QStringLiteral("x=>y"));
    QVERIFY(dialog->Export(exported));
    QFile file(exported);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const auto read = sekato::engine::ParseRulesFile(file.readAll().toStdString(), "export.txt");
    QCOMPARE(Patterns(read), expected + QStringList{QStringLiteral("\\#广告=\\> → x=>y")});

    dialog->accept();
    QTRY_VERIFY(!Row()->Editor());
    QCOMPARE(Patterns(Row()->Rules()), expected + QStringList{QStringLiteral("#广告=> → x=>y")});
    QCOMPARE(View()->findChild<QLabel*>(QStringLiteral("ruleCount"))->text(),
             QStringLiteral("5 条规则"));
    QCOMPARE(View()->GetSplitOptions().replaceRules.size(), std::size_t{5});

    // Remembered: a new start has them, and a language switch keeps them and the conversion.
    Convert()->setCurrentIndex(2);
    m_app.reset();
    m_app = std::make_unique<CSekatoApp>();
    QVERIFY(m_app->InitInstance({QStringLiteral("sekato")}));
    QCOMPARE(Patterns(Row()->Rules()), Patterns(CConvertRow::LoadRules()));
    QCOMPARE(Row()->Rules().size(), std::size_t{5});
    Convert()->setCurrentIndex(2);
    QVERIFY(m_app->ChangeLanguage(UiLanguage::Language::English));
    QCOMPARE(Convert()->currentIndex(), 2);
    QCOMPARE(View()->GetSplitOptions().convert, sekato::engine::ScriptConversion::T2S);
    QCOMPARE(Row()->Rules().size(), std::size_t{5});
    QVERIFY(m_app->ChangeLanguage(UiLanguage::Language::SimplifiedChinese));
  }

  // A bad pattern typed in the table is marked, its reason told, and OK refused until it is
  // put right.
  void badTypedPatternRefusesOk() {
    CReplaceRulesDlg* dialog = OpenEditor();
    TypeRule(dialog, QStringLiteral("正文"), QString());
    TypeRule(dialog, QStringLiteral("本章(未完"), QString());
    QVERIFY(!dialog->RulesValid());
    const QList<QPushButton*> buttons = dialog->findChildren<QPushButton*>();
    const auto ok = std::find_if(buttons.begin(), buttons.end(), [](QPushButton* b) {
      return b->text() == QStringLiteral("确定");
    });
    QVERIFY(ok != buttons.end() && !(*ok)->isEnabled());
    const QString problem = dialog->findChild<QLabel*>(QStringLiteral("ruleProblem"))->text();
    QVERIFY2(problem.contains(QStringLiteral("第 2 条")), qPrintable(problem));
    QVERIFY2(problem.contains(QStringLiteral("missing closing parenthesis")), qPrintable(problem));
    dialog->accept();
    QVERIFY(Row()->Editor() && dialog->isVisible());
    QCOMPARE(Row()->Rules().size(), std::size_t{0});

    auto* table = dialog->findChild<QTableWidget*>(QStringLiteral("ruleTable"));
    table->item(1, CReplaceRulesDlg::kPattern)->setText(QStringLiteral("本章(未完)"));
    QVERIFY(dialog->RulesValid() && (*ok)->isEnabled());
    dialog->accept();
    QCOMPARE(Row()->Rules().size(), std::size_t{2});
  }

  // A rules file with a bad rule is refused whole, naming its line and PCRE2's reason.
  void badImportNamesItsLine_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("reason");
    QTest::newRow("group") << QByteArray("ok\n# note\n\n本章(未完\n") << "第 4 行"
                           << "missing closing parenthesis";
    QTest::newRow("replacement") << QByteArray("a\n(x)=>$2\n") << "第 2 行"
                                 << "2";
    QTest::newRow("empty pattern") << QByteArray("=>x\n") << "第 1 行"
                                   << "empty pattern";
    QTest::newRow("class") << QByteArray("\xEF\xBB\xBF[abc\r\n") << "第 1 行"
                           << "missing terminating ]";
  }
  void badImportNamesItsLine() {
    QFETCH(QByteArray, text);
    QFETCH(QString, line);
    QFETCH(QString, reason);
    CReplaceRulesDlg* dialog = OpenEditor();
    TypeRule(dialog, QStringLiteral("kept"), QString());
    const QString path = Path(QStringLiteral("bad.txt"));
    QVERIFY(WriteFile(path, text));
    MessageCapture messages;
    QVERIFY(!dialog->Import(path));
    QCOMPARE(messages.texts.size(), 1);
    QVERIFY2(messages.texts[0].contains(line), qPrintable(messages.texts[0]));
    QVERIFY2(messages.texts[0].contains(reason), qPrintable(messages.texts[0]));
    QCOMPARE(Patterns(dialog->Rules()), QStringList{QStringLiteral("kept → ")});
  }

  // Each rule's count on the chosen book, from the engine's scan, "…" until it is known.
  void countsEachRuleOnTheBook() {
    const QString book = Path(QStringLiteral("counted.txt"));
    QVERIFY(WriteFile(book, QStringLiteral("第1章 开端\n正文。本章未完，请点击下一页\n"
                                           "正文 www.abc.com\n第2章 再见\n本章未完\n(本章完)\n")
                                .toUtf8()));
    View()->ChooseSource(book);
    CReplaceRulesDlg* dialog = OpenEditor();
    TypeRule(dialog, QStringLiteral("本章未完.*"), QString());
    TypeRule(dialog, QStringLiteral("www\\.\\w+\\.com"), QStringLiteral("网址"));
    TypeRule(dialog, QStringLiteral("正文"), QStringLiteral("内容"));
    TypeRule(dialog, QStringLiteral("不在书里"), QString());
    auto* table = dialog->findChild<QTableWidget*>(QStringLiteral("ruleTable"));
    QCOMPARE(table->item(0, CReplaceRulesDlg::kCount)->text(), QStringLiteral("…"));
    const auto counts = [&] {
      QStringList shown;
      for (int row = 0; row < table->rowCount(); ++row) {
        shown << table->item(row, CReplaceRulesDlg::kCount)->text();
      }
      return shown;
    };
    const QStringList expected = {"2", "1", "2", "0"};
    QVERIFY2(WaitUntil([&] { return counts() == expected; }), qPrintable(counts().join(',')));
  }

  // Before a run, a conversion whose script the pieces' encoding cannot hold is told, with
  // UTF-8 offered; other pairs go straight on.
  void fitOfConversionAndEncoding_data() {
    QTest::addColumn<int>("conversion");  // index in the combo: 0 none, 1 s2t, 2 t2s, …
    QTest::addColumn<Encoding>("source");
    QTest::addColumn<Encoding>("pieces");
    QTest::addColumn<int>("answer");  // 0 UTF-8, 1 go on, 2 cancel
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("goes");
    QTest::addColumn<Encoding>("written");
    QTest::newRow("t2s into big5, utf-8")
        << 2 << Encoding::Auto << Encoding::Big5 << 0 << true << true << Encoding::Utf8;
    QTest::newRow("tw2sp into big5, go on")
        << 8 << Encoding::Auto << Encoding::Big5 << 1 << true << true << Encoding::Big5;
    QTest::newRow("hk2s into big5, cancel")
        << 6 << Encoding::Auto << Encoding::Big5 << 2 << true << false << Encoding::Big5;
    QTest::newRow("t2s into a big5 source's own")
        << 2 << Encoding::Big5 << Encoding::Auto << 0 << true << true << Encoding::Utf8;
    QTest::newRow("s2t into big5")
        << 1 << Encoding::Auto << Encoding::Big5 << 2 << false << true << Encoding::Big5;
    QTest::newRow("s2twp into gbk")
        << 7 << Encoding::Gbk << Encoding::Auto << 2 << false << true << Encoding::Auto;
    QTest::newRow("t2s into gbk") << 2 << Encoding::Auto << Encoding::Gbk << 2 << false << true
                                  << Encoding::Gbk;
    QTest::newRow("none into big5")
        << 0 << Encoding::Auto << Encoding::Big5 << 2 << false << true << Encoding::Big5;
  }
  void fitOfConversionAndEncoding() {
    QFETCH(int, conversion);
    QFETCH(Encoding, source);
    QFETCH(Encoding, pieces);
    QFETCH(int, answer);
    QFETCH(bool, asked);
    QFETCH(bool, goes);
    QFETCH(Encoding, written);
    const QString book = Path(QStringLiteral("fit.txt"));
    QVERIFY(WriteFile(book, Gbk(QStringLiteral("第一章 开端\n正文\n"))));
    View()->ChooseSource(book);
    Convert()->setCurrentIndex(conversion);
    Item<QComboBox>(View(), "encoding")->setCurrentIndex(EncodingIndex(source));
    Item<QComboBox>(View(), "outEncoding")->setCurrentIndex(EncodingIndex(pieces));
    MessageCapture messages;
    QStringList questions;
    ChoiceScope choice(answer, &questions);
    sekato::engine::SplitOptions options = View()->GetSplitOptions();
    QCOMPARE(Row()->ConfirmFit(options), goes);
    QCOMPARE(questions.size(), asked ? 1 : 0);
    if (asked) QVERIFY2(questions[0].contains(QStringLiteral("UTF-8")), qPrintable(questions[0]));
    QCOMPARE(options.outEncoding, written);
    QCOMPARE(View()->GetSplitOptions().outEncoding, written);
  }

  // A queue of books is asked about the encoding once, and each book's pieces are what the
  // command line's batch writes with the same conversion and rules.
  void queueAsksOnceAndMatchesTheCommandLine() {
    QDir().mkpath(Path(QStringLiteral("queue")));
    QStringList books;
    for (const QString& name : {QStringLiteral("甲"), QStringLiteral("乙")}) {
      QString text;
      for (int chapter = 1; chapter <= 3; ++chapter) {
        text += QStringLiteral("第%1章 開端\n這是正文，後來發生了許多事。本章未完，請點擊下一頁\n")
                    .arg(chapter);
      }
      books << Path(QStringLiteral("queue/") + name + QStringLiteral(".txt"));
      QVERIFY(WriteFile(books.back(), text.toUtf8()));
    }
    const QString gui = Path(QStringLiteral("queue-gui"));
    const QString cli = Path(QStringLiteral("queue-cli"));
    const QString rules = Path(QStringLiteral("queue-rules.txt"));

    View()->ChooseSources(books);
    QCOMPARE(View()->Queue()->Count(), 2);
    Item<QAbstractButton>(View(), "dirNew")->click();
    Item<QLineEdit>(View(), "newDir")->setText(gui);
    Convert()->setCurrentIndex(2);  // 繁体→简体
    Item<QComboBox>(View(), "outEncoding")->setCurrentIndex(EncodingIndex(Encoding::Big5));
    CReplaceRulesDlg* dialog = OpenEditor();
    TypeRule(dialog, QStringLiteral("本章未完.*"), QString());
    TypeRule(dialog, QStringLiteral("，"), QStringLiteral(","));
    QVERIFY(dialog->Export(rules));
    dialog->accept();
    QString error;
    QVERIFY2(
        RunCli(QStringList{"-q", "-o", cli, "--rules", rules, "--convert", "t2s", "--to", "utf-8"} +
                   books,
               &error),
        qPrintable(error));

    MessageCapture messages;
    QStringList questions;
    ChoiceScope choice(0, &questions);  // 改用 UTF-8
    View()->OnSplitStart();
    QTRY_VERIFY_WITH_TIMEOUT(!View()->RunControl()->IsBusy(), 30000);
    QCOMPARE(questions.filter(QStringLiteral("UTF-8")).size(), 1);
    QVERIFY2(questions.last().startsWith(QStringLiteral("2 本书中有 2 本分割完成")),
             qPrintable(questions.last()));
    for (const QString& book : {QStringLiteral("甲"), QStringLiteral("乙")}) {
      const auto written = ReadFiles(gui + QLatin1Char('/') + book);
      QCOMPARE(written.size(), 3);
      QCOMPARE(written, ReadFiles(cli + QLatin1Char('/') + book));
      QVERIFY(written.first().contains(QStringLiteral("这是正文,后来发生了许多事。").toUtf8()));
    }
  }

  // Cancelled at the question, a split writes nothing.
  void cancelledMisfitWritesNothing() {
    const QString book = Path(QStringLiteral("misfit.txt"));
    QVERIFY(WriteFile(book, Gbk(QStringLiteral("第一章 开端\n正文\n"))));
    View()->ChooseSource(book);
    Item<QAbstractButton>(View(), "dirNew")->click();
    Item<QLineEdit>(View(), "newDir")->setText(Path(QStringLiteral("misfit-out")));
    Convert()->setCurrentIndex(2);
    Item<QComboBox>(View(), "outEncoding")->setCurrentIndex(EncodingIndex(Encoding::Big5));
    MessageCapture messages;
    QStringList questions;
    ChoiceScope choice(2, &questions);
    QVERIFY(Trigger(m_app->MainFrame(), "actionStart"));
    QVERIFY(WaitUntil([&] { return Finished(); }));
    QCOMPARE(questions.size(), 1);
    QVERIFY(!QFileInfo::exists(Path(QStringLiteral("misfit-out"))));
  }

  // The window writes what `sekato-cli --convert X --rules FILE` writes, the rules typed into
  // the editor and exported for the command line.
  void windowMatchesTheCommandLine_data() {
    QTest::addColumn<int>("conversion");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("pieces");  // the output encoding's index; 0 the source's
    QTest::newRow("rules only") << 0 << QString() << 0;
    QTest::newRow("s2t into utf-8") << 1 << QStringLiteral("s2t") << EncodingIndex(Encoding::Utf8);
    QTest::newRow("tw2sp") << 8 << QStringLiteral("tw2sp") << 0;
  }
  void windowMatchesTheCommandLine() {
    QFETCH(int, conversion);
    QFETCH(QString, name);
    QFETCH(int, pieces);
    const QString book = Path(QStringLiteral("小说.txt"));
    if (!QFileInfo::exists(book)) QVERIFY(GenerateNovel(book, 0.3, 7));
    const QString tag =
        QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('_'));
    const QString gui = Path(QStringLiteral("gui") + tag);
    const QString cli = Path(QStringLiteral("cli") + tag);
    const QString rules = Path(QStringLiteral("rules") + tag + QStringLiteral(".txt"));

    View()->ChooseSource(book);
    Item<QAbstractButton>(View(), "dirNew")->click();
    Item<QLineEdit>(View(), "newDir")->setText(gui);
    Convert()->setCurrentIndex(conversion);
    Item<QComboBox>(View(), "outEncoding")->setCurrentIndex(pieces);
    CReplaceRulesDlg* dialog = OpenEditor();
    TypeRule(dialog, QStringLiteral("[，、]"), QString());
    TypeRule(dialog, QStringLiteral("(锋|剑)"), QStringLiteral("<$1>"));
    TypeRule(dialog, QStringLiteral("x=>y"), QStringLiteral("z"));
    TypeRule(dialog, QStringLiteral("^　　(.)"), QStringLiteral("  ${1}"));
    QVERIFY(dialog->Export(rules));
    dialog->accept();

    QStringList args{"-q", "-o", cli, "--rules", rules};
    if (!name.isEmpty()) args << "--convert" << name;
    if (pieces != 0)
      args << "--to"
           << "utf-8";
    QString error;
    QVERIFY2(RunCli(args + QStringList{book}, &error), qPrintable(error));

    MessageCapture messages;
    QVERIFY(Trigger(m_app->MainFrame(), "actionStart"));
    QVERIFY(WaitUntil([&] { return Finished(); }));
    QCOMPARE(FirstLines(messages.texts), QStringList{QStringLiteral("文件分割完成！")});
    const auto expected = ReadFiles(cli);
    const auto actual = ReadFiles(gui);
    QVERIFY(expected.size() > 1);
    QCOMPARE(actual.keys(), expected.keys());
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
      QVERIFY2(actual[it.key()] == it.value(), qPrintable(it.key()));
    }
  }
};

QTEST_MAIN(TestConvertUi)
#include "tst_convertui.moc"

// Splits from the window with the real engine, compared byte for byte with sekato-cli.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <memory>

#include "appmessagebox.h"
#include "cmainframe.h"
#include "csekatoapp.h"
#include "csekatoview.h"
#include "uitestsupport.h"

using namespace sekato::ui;
using namespace sekato::ui::test;

namespace {

const QString kDone = QStringLiteral("文件分割完成！");
const QString kStopped = QStringLiteral("文件分割被终止！");

struct Scenario {
  const char* name;
  QStringList cliArgs;                     // besides -o DIR and the source
  std::function<void(CSekatoView*)> form;  // the same options, set as a user would
};

QLineEdit* Edit(CSekatoView* view, const char* id) { return Item<QLineEdit>(view, id); }
void Click(CSekatoView* view, const char* id) { Item<QAbstractButton>(view, id)->click(); }

const QList<Scenario>& Scenarios() {
  static const QList<Scenario> scenarios = {
      {"chapter defaults", {}, [](CSekatoView*) {}},
      {"chapter, 3 per piece, title names, no ad",
       {"-p", "3", "--title-names", "--no-ad"},
       [](CSekatoView* v) {
         Edit(v, "chaptersPerFile")->setText("3");
         Click(v, "nameChapter");
         Click(v, "noAd");
       }},
      {"chapter, ? in Chinese numerals, custom name",
       {"-k", "第?章", "--numerals", "chinese", "-n", "卷"},
       [](CSekatoView* v) {
         Edit(v, "keywords")->setText(QStringLiteral("第?章"));
         test::Item<QComboBox>(v, "numerals")->setCurrentIndex(2);
         Click(v, "nameCustom");
         Edit(v, "customName")->setText(QStringLiteral("卷"));
       }},
      {"chapter by a rule with its number group, title names",
       {"--regex", "^第(?<n>[一二三四五六七八九十百千]+)章", "--title-names"},
       [](CSekatoView* v) {
         Item<QComboBox>(v, "headingRule")->setCurrentIndex(CSekatoView::kRuleRegex);
         v->OnHeadingRule();
         Edit(v, "regex")->setText(QStringLiteral("^第(?<n>[一二三四五六七八九十百千]+)章"));
         Click(v, "nameChapter");
       }},
      {"size 20 KB, keep lines, trim",
       {"-m", "size", "--kb", "20", "--keep-lines", "--trim"},
       [](CSekatoView* v) {
         Click(v, "splitModeSize");
         Edit(v, "maxKb")->setText("20");
         Click(v, "keepLines");
         Click(v, "trimSpaces");
       }},
      {"even into 4, head and tail",
       {"-m", "even", "--parts", "4", "--head", "卷首", "--tail", "卷尾"},
       [](CSekatoView* v) {
         Click(v, "splitModeEven");
         Edit(v, "parts")->setText("4");
         Click(v, "addHead");
         Edit(v, "head")->setText(QStringLiteral("卷首"));
         Click(v, "addTail");
         Edit(v, "tail")->setText(QStringLiteral("卷尾"));
       }},
      {"size 20 KB, read as GBK, written as UTF-8",
       {"-m", "size", "--kb", "20", "-e", "gbk", "--to", "utf-8"},
       [](CSekatoView* v) {
         Click(v, "splitModeSize");
         Edit(v, "maxKb")->setText("20");
         Item<QComboBox>(v, "encoding")->setCurrentIndex(1);
         Item<QComboBox>(v, "outEncoding")->setCurrentIndex(4);
       }},
  };
  return scenarios;
}

}  // namespace

class TestEndToEnd : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir m_dir;
  QString m_small;  // about 300 KB
  QString m_large;  // long enough to be stopped in the middle
  std::unique_ptr<CSekatoApp> m_app;

  CSekatoView* View() { return m_app->View(); }
  QString Out(const QString& name) { return m_dir.filePath(name); }

  /// The form set to write into `outDir`, with `source` chosen.
  void Prepare(const QString& source, const QString& outDir) {
    View()->ChooseSource(source);
    Click(View(), "dirNew");
    Edit(View(), "newDir")->setText(outDir);
  }

  bool Finished() { return !View()->RunControl()->IsBusy(); }

 private slots:
  void initTestCase() {
    QVERIFY(m_dir.isValid());
    m_small = m_dir.filePath(QStringLiteral("小说.txt"));
    m_large = m_dir.filePath(QStringLiteral("large.txt"));
    QVERIFY(GenerateNovel(m_small, 0.3, 7));
    QVERIFY(GenerateNovel(m_large, 40, 3));
  }

  void init() {
    m_app = std::make_unique<CSekatoApp>();
    QVERIFY(m_app->InitInstance({QStringLiteral("sekato")}));
  }

  void cleanup() { m_app.reset(); }

  void splitMatchesTheCommandLine_data() {
    QTest::addColumn<int>("index");
    for (int i = 0; i < Scenarios().size(); ++i) QTest::newRow(Scenarios()[i].name) << i;
  }

  void splitMatchesTheCommandLine() {
    QFETCH(int, index);
    const Scenario& scenario = Scenarios()[index];
    const QString gui = Out(QStringLiteral("gui%1").arg(index));
    const QString cli = Out(QStringLiteral("cli%1").arg(index));
    QString error;
    QVERIFY2(RunCli(QStringList{"-q", "-o", cli} + scenario.cliArgs + QStringList{m_small}, &error),
             qPrintable(error));

    MessageCapture messages;
    Prepare(m_small, gui);
    scenario.form(View());
    QVERIFY(test::Trigger(m_app->MainFrame(), "actionStart"));
    QVERIFY(WaitUntil([&] { return Finished(); }));
    QCOMPARE(FirstLines(messages.texts), QStringList{kDone});

    const auto expected = ReadFiles(cli);
    const auto actual = ReadFiles(gui);
    QVERIFY(expected.size() > 1);
    QCOMPARE(actual.keys(), expected.keys());
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
      QVERIFY2(actual[it.key()] == it.value(), qPrintable(it.key()));
    }
  }

  void editsDuringARealRun() {
    const QString gui = Out(QStringLiteral("edits-gui"));
    const QString cli = Out(QStringLiteral("edits-cli"));
    QVERIFY(RunCli({"-q", "-o", cli, m_large}));

    MessageCapture messages;
    Prepare(m_large, gui);
    QVERIFY(test::Trigger(m_app->MainFrame(), "actionStart"));
    // Change what the run reads, through handlers that refresh the options.
    Click(View(), "splitModeSize");
    Edit(View(), "maxKb")->setText("1");
    Edit(View(), "newDir")->setText(Out(QStringLiteral("elsewhere")));
    Click(View(), "addHead");
    Edit(View(), "head")->setText(QStringLiteral("头"));
    Click(View(), "addHead");
    View()->ChooseSource(m_small);
    QVERIFY(WaitUntil([&] { return Finished(); }, 120000));
    QCOMPARE(FirstLines(messages.texts), QStringList{kDone});
    QVERIFY(!QFileInfo::exists(Out(QStringLiteral("elsewhere"))));
    QVERIFY(ReadFiles(gui) == ReadFiles(cli));
  }

  void closeDuringARealRunLosesNothing() {
    QFile source(m_large);
    QVERIFY(source.open(QIODevice::ReadOnly));
    const QByteArray text = source.readAll();
    const QString gui = Out(QStringLiteral("closed"));

    MessageCapture messages;
    Prepare(m_large, gui);
    Click(View(), "noAd");
    QVERIFY(test::Trigger(m_app->MainFrame(), "actionStart"));
    QVERIFY(WaitUntil([&] { return View()->RunControl()->Worker()->ProgressPos() > 0; }));
    // The title shows the run's progress; closing asks, and 继续分割 keeps the run going.
    QVERIFY(WaitUntil([&] { return m_app->MainFrame()->windowTitle().contains('%'); }));
    {
      const ChoiceScope keepGoing(1);
      QVERIFY(!m_app->MainFrame()->close());
      QVERIFY(!Finished());
    }
    const ChoiceScope stop(0);
    QVERIFY(m_app->MainFrame()->close());
    QVERIFY(Finished());
    QCOMPARE(messages.texts.size(), 2);  // the two questions, nothing after them

    // The pieces written are a whole-line beginning of the source, piece after piece.
    const auto pieces = ReadFiles(gui);
    QVERIFY(!pieces.isEmpty());
    QByteArray joined;
    for (int number = 1; number <= pieces.size(); ++number) {
      const QString name = QStringLiteral("large_%1.txt").arg(number, 3, 10, QLatin1Char('0'));
      QVERIFY2(pieces.contains(name), qPrintable(name));  // numbered without gaps
      joined += pieces[name];  // a piece ends with the line break before the next heading
    }
    QVERIFY2(joined.size() < text.size(), "the run should have been stopped in the middle");
    QVERIFY(text.startsWith(joined));
    QVERIFY(joined.endsWith("\r\n") || text.mid(joined.size(), 2) == "\r\n");
  }

  void startAgainAfterStopWithTheRealEngine() {
    const QString gui = Out(QStringLiteral("restart-gui"));
    const QString cli = Out(QStringLiteral("restart-cli"));
    QVERIFY(RunCli({"-q", "-m", "size", "--kb", "300", "-o", cli, m_large}));

    MessageCapture messages;
    Prepare(m_large, gui);
    Click(View(), "splitModeSize");
    Edit(View(), "maxKb")->setText("300");
    CMainFrame* frame = m_app->MainFrame();
    QVERIFY(test::Trigger(frame, "actionStart"));
    QVERIFY(test::Trigger(frame, "actionStop"));
    QVERIFY(!test::Trigger(frame, "actionStart"));  // the stopped run has not ended yet
    QVERIFY(WaitUntil([&] { return Finished(); }));
    QCOMPARE(FirstLines(messages.texts), QStringList{kStopped});
    // The message says how many pieces the stopped run left, and where.
    const int left = static_cast<int>(ReadFiles(gui).size());
    QCOMPARE(messages.texts[0].section(QLatin1Char('\n'), 1),
             QStringLiteral("已写出 %1 个文件，保存在：\n%2").arg(left).arg(gui));
    // The stopped run's pieces are older pieces now: cleared first.
    const ChoiceScope clear(0);
    QVERIFY(test::Trigger(frame, "actionStart"));
    QVERIFY(WaitUntil([&] { return Finished(); }, 120000));
    QCOMPARE(FirstLines(messages.texts).mid(2), (QStringList{kDone}));
    QVERIFY(ReadFiles(gui) == ReadFiles(cli));
  }

  // An earlier split of 20 pieces, then one of a few: the older pieces are named, and the
  // answer decides what the folder holds. Unrelated files never count.
  void olderPiecesAreAskedAbout_data() {
    QTest::addColumn<bool>("older");
    QTest::addColumn<int>("choice");  // 0 clear, 1 other folder, 2 cancel
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty folder") << false << 2 << "done, 2 pieces";
    QTest::newRow("unrelated files") << false << 2 << "done, 2 pieces and notes";
    QTest::newRow("older, cleared") << true << 0 << "done, 2 pieces and notes";
    QTest::newRow("older, other folder") << true << 1 << "elsewhere";
    QTest::newRow("older, cancelled") << true << 2 << "untouched";
  }

  void olderPiecesAreAskedAbout() {
    QFETCH(bool, older);
    QFETCH(int, choice);
    QFETCH(QString, expected);
    const QString tag = QString::fromLatin1(QTest::currentDataTag()).replace(' ', '-');
    const QString source = Out(tag + QStringLiteral(".txt"));
    QVERIFY(WriteFile(source, Gbk(QStringLiteral("第1章 甲\r\n一\r\n第2章 乙\r\n二\r\n"))));
    const QString gui = Out(tag + QStringLiteral("-out"));
    QVERIFY(QDir().mkpath(gui));
    const bool unrelated = expected.contains(QStringLiteral("notes"));
    if (unrelated) QVERIFY(WriteFile(gui + QStringLiteral("/notes.txt"), "mine"));
    if (older) {
      for (int n = 1; n <= 20; ++n) {
        QVERIFY(WriteFile(gui + QStringLiteral("/%1_%2.txt").arg(tag).arg(n, 3, 10, QChar('0')),
                          "old"));
      }
    }
    const auto before = ReadFiles(gui);
    const QString elsewhere = Out(tag + QStringLiteral("-elsewhere"));
    m_app->View()->SetChoosers(
        {[](QWidget*) { return QString(); }, [&](QWidget*) { return elsewhere; }, {}});
    MessageCapture messages;
    QStringList asked;
    const ChoiceScope answer(choice, &asked);
    Prepare(source, gui);
    test::Trigger(m_app->MainFrame(), "actionStart");
    QVERIFY(WaitUntil([&] { return Finished(); }));
    QCOMPARE(asked.size(), older ? 1 : 0);
    if (older) {
      QVERIFY(asked[0].contains(tag + QStringLiteral("_001.txt")));
      QVERIFY(asked[0].contains(QStringLiteral("20")));
      QVERIFY(!asked[0].contains(QStringLiteral("notes.txt")));
    }
    const auto after = ReadFiles(gui);
    if (expected == QStringLiteral("untouched")) {
      QVERIFY(after == before);
    } else if (expected == QStringLiteral("elsewhere")) {
      QVERIFY(after == before);
      QCOMPARE(ReadFiles(elsewhere).size(), 2);
    } else {
      QStringList names{tag + QStringLiteral("_001.txt"), tag + QStringLiteral("_002.txt")};
      if (unrelated) names.prepend(QStringLiteral("notes.txt"));
      QCOMPARE(after.keys(), names);
    }
  }

  // Before writing: an empty source asks; a picture is refused in the engine's words; a
  // size that reads as 0 is refused like the command line's.
  void checksBeforeWriting_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("maxKb");  // "-": chapter mode
    QTest::addColumn<QString>("said");
    QTest::addColumn<bool>("written");
    QTest::newRow("empty, go on") << QByteArray() << "-"
                                  << "是空的" << true;
    QTest::newRow("picture") << QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16) << "-"
                             << "这不像是文本文件" << false;
    QTest::newRow("size 0") << QByteArray("abc\r\n") << "0"
                            << "必须大于 0" << false;
    QTest::newRow("size empty") << QByteArray("abc\r\n") << ""
                                << "必须大于 0" << false;
    QTest::newRow("size 1") << QByteArray("abc\r\n") << "1"
                            << "" << true;
  }

  void checksBeforeWriting() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, maxKb);
    QFETCH(QString, said);
    QFETCH(bool, written);
    const QString tag = QString::fromLatin1(QTest::currentDataTag()).replace(' ', '-');
    const QString source = Out(QStringLiteral("check-%1.txt").arg(tag));
    QVERIFY(WriteFile(source, bytes));
    const QString gui = Out(QStringLiteral("check-%1-out").arg(tag));
    MessageCapture messages;
    const ChoiceScope goOn(0);
    Prepare(source, gui);
    if (maxKb != QStringLiteral("-")) {
      Click(View(), "splitModeSize");
      Edit(View(), "maxKb")->setText(maxKb);
    }
    test::Trigger(m_app->MainFrame(), "actionStart");
    QVERIFY(WaitUntil([&] { return Finished(); }));
    if (!said.isEmpty()) {
      QVERIFY(!messages.texts.isEmpty());
      QVERIFY2(messages.texts[0].contains(said), qPrintable(messages.texts[0]));
    }
    QCOMPARE(QFileInfo::exists(gui), written);
  }
};

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"

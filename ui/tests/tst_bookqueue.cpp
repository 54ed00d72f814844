// Several books at once: the queue under the form, the folders each book gets, one question
// for the whole queue, and pieces that match the command line's batch.
#include <QAbstractButton>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <memory>

#include "appmessagebox.h"
#include "cbookqueue.h"
#include "cqueuedock.h"
#include "cqueuelist.h"
#include "csekatoapp.h"
#include "csekatoview.h"
#include "resourceids.h"
#include "uitestsupport.h"

using namespace sekato::ui;
using namespace sekato::ui::test;
using sekato::engine::FolderChoice;
using sekato::engine::PieceNaming;
using sekato::engine::SplitOptions;

namespace {

QByteArray Book(int chapters) {
  QString text;
  for (int i = 1; i <= chapters; ++i) {
    text += QStringLiteral(
                "第%1章 标题\r\n　　正文里说到第%1章的内容，这一行比标题长得多，不是标题。\r\n")
                .arg(i);
  }
  return Gbk(text);
}

constexpr char kPngBytes[] = "\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x10\0\0\0\x10\x08\x06\0\0\0";
const QByteArray kPng(kPngBytes, sizeof kPngBytes - 1);

}  // namespace

class TestBookQueue : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir m_dir;
  std::unique_ptr<CSekatoApp> m_app;

  CSekatoView* View() { return m_app->View(); }
  QString Path(const QString& name) { return m_dir.filePath(name); }
  QString Write(const QString& name, const QByteArray& bytes) {
    const QString path = Path(name);
    QDir().mkpath(QFileInfo(path).path());
    return WriteFile(path, bytes) ? path : QString();
  }
  void IntoFolder(const QString& folder) {
    Item<QAbstractButton>(View(), "dirNew")->click();
    Item<QLineEdit>(View(), "newDir")->setText(folder);
  }

 private slots:
  void init() {
    QVERIFY(m_dir.isValid());
    m_app = std::make_unique<CSekatoApp>();
    QVERIFY(m_app->InitInstance({QStringLiteral("sekato")}));
  }
  void cleanup() { m_app.reset(); }

  void optionsFollowTheBatchRules_data() {
    QTest::addColumn<FolderChoice>("folder");
    QTest::addColumn<PieceNaming>("naming");
    QTest::addColumn<QString>("expectedFolder");
    QTest::addColumn<QString>("expectedName");
    QTest::newRow("chosen folder: one each, named after the book")
        << FolderChoice::NewFolder << PieceNaming::SourceTitle << "out/甲"
        << "甲";
    QTest::newRow("beside the source")
        << FolderChoice::BesideSource << PieceNaming::SourceTitle << ""
        << "甲";
    QTest::newRow("a name of the user's own is every book's")
        << FolderChoice::NewFolder << PieceNaming::Custom << "out/甲"
        << "卷";
  }
  void optionsFollowTheBatchRules() {
    QFETCH(FolderChoice, folder);
    QFETCH(PieceNaming, naming);
    QFETCH(QString, expectedFolder);
    QFETCH(QString, expectedName);
    SplitOptions form;
    form.folder = folder;
    form.newFolder = "out";
    form.naming = naming;
    form.customName = "卷";
    const auto runs = CBookQueue::OptionsFor(form, {"/b/甲.txt", "/b/乙.txt"});
    QCOMPARE(runs.size(), std::size_t{2});
    QCOMPARE(QString::fromStdString(runs[0].sourcePath), QStringLiteral("/b/甲.txt"));
    QCOMPARE(QString::fromStdString(runs[1].sourceTitle), QStringLiteral("乙"));
    if (!expectedFolder.isEmpty()) {
      QCOMPARE(QString::fromStdString(runs[0].newFolder), expectedFolder);
    }
    QCOMPARE(QString::fromStdString(runs[0].customName), expectedName);
  }

  void chosenBooksMakeAQueue_data() {
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<int>("queued");
    QTest::newRow("one book: no queue") << QStringList{"a.txt"} << 0;
    QTest::newRow("two books") << QStringList{"a.txt", "b.txt"} << 2;
    QTest::newRow("the same book twice is one") << QStringList{"a.txt", "a.txt"} << 0;
    QTest::newRow("three books") << QStringList{"a.txt", "b.txt", "c.txt"} << 3;
  }
  void chosenBooksMakeAQueue() {
    QFETCH(QStringList, names);
    QFETCH(int, queued);
    QStringList paths;
    for (const QString& name : names) paths << Write(name, Book(2));
    View()->ChooseSources(paths);
    QCOMPARE(View()->Queue()->Count(), queued);
    QCOMPARE(View()->SourceFile(), paths.front());
    const bool shown =
        View()->QueueList() != nullptr && View()->QueueList()->isVisibleTo(View()->window());
    QCOMPARE(shown, queued > 0);
    if (queued > 0) {
      QCOMPARE(View()->QueueList()->rowCount(), queued);
      QCOMPARE(View()->QueueList()->item(0, 1)->text(), QStringLiteral("等待"));
    }
    // Choosing one book afterwards leaves the queue.
    View()->ChooseSource(paths.front());
    QCOMPARE(View()->Queue()->Count(), 0);
  }

  void queueOfThreeWhereOneFailsMatchesTheCommandLine() {
    const QString a = Write(QStringLiteral("q/甲.txt"), Book(5));
    const QString b = Write(QStringLiteral("q/乙.txt"), Book(3));
    const QString png = Write(QStringLiteral("q/picture.txt"), kPng);
    const QString gui = Path(QStringLiteral("gui"));
    const QString cli = Path(QStringLiteral("cli"));
    QString error;
    QVERIFY2(RunCli({"-q", "-o", cli, a, b}, &error), qPrintable(error));

    MessageCapture messages;
    View()->ChooseSources({a, png, b});
    IntoFolder(gui);
    View()->OnSplitStart();
    QTRY_VERIFY_WITH_TIMEOUT(!View()->RunControl()->IsBusy(), 30000);
    const auto& rows = View()->Queue()->Rows();
    QCOMPARE(rows[0].state, CBookQueue::State::Done);
    QCOMPARE(rows[0].pieces, 5);
    QCOMPARE(rows[1].state, CBookQueue::State::Failed);
    QVERIFY2(rows[1].reason.contains(QStringLiteral("这不像是文本文件")),
             qPrintable(rows[1].reason));
    QCOMPARE(rows[2].state, CBookQueue::State::Done);
    QCOMPARE(View()->QueueList()->item(0, 1)->text(), QStringLiteral("完成 5 个文件"));
    QVERIFY(View()->QueueList()->item(1, 1)->text().startsWith(QStringLiteral("失败：")));
    QCOMPARE(messages.texts.size(), 1);
    QVERIFY2(messages.texts[0].startsWith(QStringLiteral("3 本书中有 2 本分割完成。")),
             qPrintable(messages.texts[0]));
    for (const QString& book : {QStringLiteral("甲"), QStringLiteral("乙")}) {
      QCOMPARE(ReadFiles(gui + QLatin1Char('/') + book), ReadFiles(cli + QLatin1Char('/') + book));
    }
    QVERIFY(!QDir(gui + QStringLiteral("/picture")).exists() ||
            QDir(gui + QStringLiteral("/picture")).isEmpty());
  }

  void booksThatWouldShareAFolderAreRefusedWhole() {
    const QString a = Write(QStringLiteral("x/同名.txt"), Book(2));
    const QString b = Write(QStringLiteral("y/同名.txt"), Book(2));
    const QString out = Path(QStringLiteral("shared"));
    MessageCapture messages;
    View()->ChooseSources({a, b});
    IntoFolder(out);
    View()->OnSplitStart();
    QCOMPARE(messages.texts.size(), 1);
    QVERIFY2(messages.texts[0].contains(QStringLiteral("同一个目录")),
             qPrintable(messages.texts[0]));
    QVERIFY(!View()->RunControl()->IsBusy());
    QVERIFY(!QDir(out).exists());
  }

  void olderPiecesAreAskedAboutOnceForTheQueue() {
    const QString a = Write(QStringLiteral("o/一.txt"), Book(2));
    const QString b = Write(QStringLiteral("o/二.txt"), Book(2));
    const QString out = Path(QStringLiteral("older"));
    Write(QStringLiteral("older/一/一_009.txt"), "old");
    Write(QStringLiteral("older/二/二_009.txt"), "old");
    MessageCapture messages;
    int asked = 0;
    messages.onMessage = [&](const QString& text) {
      if (text.contains(QStringLiteral("以前分割留下的文件"))) ++asked;
    };
    View()->ChooseSources({a, b});
    IntoFolder(out);
    const auto chooser = sekato::controls::AppMessageBox::SetChooser(
        [](const QString&, const QStringList&) { return 0; });  // clear and go on
    View()->OnSplitStart();
    sekato::controls::AppMessageBox::SetChooser(chooser);
    QTRY_VERIFY_WITH_TIMEOUT(!View()->RunControl()->IsBusy(), 30000);
    QCOMPARE(asked, 1);
    QVERIFY2(!QFile::exists(out + QStringLiteral("/一/一_009.txt")),
             qPrintable(messages.texts.join(QLatin1Char('\n'))));
    QVERIFY(!QFile::exists(out + QStringLiteral("/一/一_009.txt")));
    QVERIFY(!QFile::exists(out + QStringLiteral("/二/二_009.txt")));
    QVERIFY(QFile::exists(out + QStringLiteral("/二/二_002.txt")));
  }

  void booksWithoutHeadingsAreAskedAboutOnce_data() {
    QTest::addColumn<int>("answer");  // 仍然写出 / 跳过这些书 / 取消
    QTest::addColumn<QStringList>("written");
    QTest::newRow("write anyway") << 0 << QStringList{"甲", "无题", "乙"};
    QTest::newRow("skip them") << 1 << QStringList{"甲", "乙"};
    QTest::newRow("cancel") << 2 << QStringList{};
  }
  void booksWithoutHeadingsAreAskedAboutOnce() {
    QFETCH(int, answer);
    QFETCH(QStringList, written);
    const QString a = Write(QStringLiteral("h/甲.txt"), Book(3));
    const QString plain = Write(QStringLiteral("h/无题.txt"),
                                Gbk(QStringLiteral("只是一段话，没有章节。\r\n又一段话。\r\n")));
    const QString b = Write(QStringLiteral("h/乙.txt"), Book(2));
    const QString out = Path(QStringLiteral("headings-%1").arg(answer));
    MessageCapture messages;
    QStringList asked;
    const auto chooser = sekato::controls::AppMessageBox::SetChooser(
        [&](const QString& text, const QStringList&) {
          if (!text.contains(QStringLiteral("找不到章节标题"))) return 0;
          asked << text;
          return answer;
        });
    View()->ChooseSources({a, plain, b});
    IntoFolder(out);
    View()->OnSplitStart();
    QTRY_VERIFY_WITH_TIMEOUT(!View()->RunControl()->IsBusy(), 30000);
    sekato::controls::AppMessageBox::SetChooser(chooser);
    QCOMPARE(asked.size(), 1);
    QVERIFY2(asked[0].contains(QStringLiteral("无题.txt")) && !asked[0].contains(QStringLiteral("甲")),
             qPrintable(asked[0]));
    QStringList folders = QDir(out).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(folders.begin(), folders.end());
    std::sort(written.begin(), written.end());
    QCOMPARE(folders, written);
    if (answer == 1) QCOMPARE(View()->Queue()->Count(), 2);
  }

  void oneStopStopsEveryBook() {
    QStringList books;
    for (const char* name : {"s/1.txt", "s/2.txt", "s/3.txt"}) {
      books << Write(QString::fromLatin1(name), Book(20000));
    }
    MessageCapture messages;
    View()->ChooseSources(books);
    IntoFolder(Path(QStringLiteral("stopped")));
    View()->OnSplitStart();
    QVERIFY(View()->RunControl()->IsSplitting());
    View()->OnSplitStop();
    QTRY_VERIFY_WITH_TIMEOUT(!View()->RunControl()->IsBusy(), 30000);
    int stopped = 0;
    for (const CBookQueue::Row& row : View()->Queue()->Rows()) {
      QVERIFY(row.state == CBookQueue::State::Stopped || row.state == CBookQueue::State::Done);
      stopped += row.state == CBookQueue::State::Stopped;
    }
    QVERIFY(stopped >= 1);
    QVERIFY(messages.texts.last().startsWith(
        QStringLiteral("3 本书中有 %1 本分割完成。").arg(3 - stopped)));
  }

  void aQueueWithoutAFrameIsKeptButNeverListed() {
    std::atomic<int> running{0};
    CBookQueue queue(running);
    CQueueDock dock(queue);
    dock.Show({Path(QStringLiteral("a.txt")), Path(QStringLiteral("b.txt"))}, nullptr);
    QCOMPARE(queue.Count(), 2);
    QVERIFY(dock.List() == nullptr);
    dock.Relist();  // a book leaving such a queue must not reach for a list that is not there
    QVERIFY(dock.List() == nullptr);
  }
};

QTEST_MAIN(TestBookQueue)
#include "tst_bookqueue.moc"

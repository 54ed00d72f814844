// What the window says when a run ends otherwise than planned: warnings after the closing
// message, a thread that cannot start, a run that fails or is stopped, and the system's
// reasons in the window's language.
#include <QProgressBar>
#include <QtTest>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <system_error>
#include <thread>

#include "appmessagebox.h"
#include "enginemessages.h"
#include "runfixture.h"
#include "uitestsupport.h"
#include "weblinks.h"

using namespace sekato::ui;
using sekato::engine::MessageId;
using sekato::engine::SplitEnd;
using sekato::engine::SplitHost;
using sekato::engine::SplitOptions;
using sekato::engine::SplitOutcome;
using sekato::ui::test::MessageCapture;
using sekato::ui::test::WaitUntil;

class TestRunMessages : public QObject, protected sekato::ui::test::RunFixture {
  Q_OBJECT

 private slots:
  void init() { QVERIFY(OpenWindow()); }
  void cleanup() { CloseWindow(); }

  void warningsFollowTheClosingMessage() {
    MessageCapture messages;
    ChooseSource();
    Run()->SetRunFunction([](const SplitOptions&, SplitHost& host) -> SplitEnd {
      host.Warn({MessageId::InvalidInSource, {"13", "UTF-8"}});
      return {SplitOutcome::Completed, {MessageId::Completed}, {}};
    });
    View()->OnSplitStart();
    QVERIFY(WaitUntil([&] { return WorkerEnded(); }));
    QCOMPARE(
        messages.texts,
        QStringList{kDone +
                    QStringLiteral("\n源文件第 13 字节起有不属于 UTF-8 编码的字节，已原样保留。")});
  }

  void threadThatCannotStart() {
    MessageCapture messages;
    ChooseSource();
    Run()->SetThreadStarter([](std::function<void()>) -> std::thread {
      throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    });
    View()->OnSplitStart();
    QCOMPARE(messages.texts.size(), 1);
    QVERIFY(messages.texts[0].contains(QStringLiteral("线程")));
    QCOMPARE(View()->m_bRunning.load(), 0);
    QVERIFY(StartEnabled());
    QVERIFY(!StopEnabled());
  }

  void failingRunGivesTheFormBack() {
    MessageCapture messages;
    ChooseSource();
    Run()->SetRunFunction(
        [](const SplitOptions&, SplitHost&) -> SplitEnd { throw std::runtime_error("disk full"); });
    View()->OnSplitStart();
    QVERIFY(WaitUntil([&] { return WorkerEnded(); }));
    QCOMPARE(messages.texts.size(), 1);
    QVERIFY(messages.texts[0].contains(QStringLiteral("disk full")));
    QCOMPARE(View()->m_bRunning.load(), 0);
    QVERIFY(StartEnabled());
  }

  void stoppedOrFailedRunTellsWhatItLeft_data() {
    QTest::addColumn<int>("outcome");  // SplitOutcome
    QTest::addColumn<int>("pieces");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("expected");  // the whole message
    QTest::addColumn<bool>("offersFolder");
    const QString written = QStringLiteral("\n已写出 %1 个文件，保存在：\n/out/novel");
    QTest::newRow("stopped after 3 pieces")
        << static_cast<int>(SplitOutcome::Stopped) << 3 << QStringLiteral("/out/novel")
        << kStopped + written.arg(3) << true;
    QTest::newRow("stopped before the first piece")
        << static_cast<int>(SplitOutcome::Stopped) << 0 << QStringLiteral("/out/novel")
        << kStopped + written.arg(0) << false;
    QTest::newRow("failed after 2 pieces")
        << static_cast<int>(SplitOutcome::Failed) << 2 << QStringLiteral("/out/novel")
        << QStringLiteral("无法打开源文件“/books/novel.txt”：x") + written.arg(2) << true;
    QTest::newRow("refused: nothing was begun")
        << static_cast<int>(SplitOutcome::Failed) << 0 << QString()
        << QStringLiteral("无法打开源文件“/books/novel.txt”：x") << false;
  }

  void stoppedOrFailedRunTellsWhatItLeft() {
    QFETCH(int, outcome);
    QFETCH(int, pieces);
    QFETCH(QString, folder);
    QFETCH(QString, expected);
    QFETCH(bool, offersFolder);
    MessageCapture messages;
    QStringList offered;
    sekato::controls::AppMessageBox::SetChooser([&](const QString&, const QStringList& actions) {
      offered = actions;
      return actions.isEmpty() ? -1 : 0;
    });
    QList<QUrl> opened;
    WebLinks::SetOpener([&](const QUrl& url) {
      opened << url;
      return true;
    });
    ChooseSource();
    const auto how = static_cast<SplitOutcome>(outcome);
    Run()->SetRunFunction([=](const SplitOptions&, SplitHost&) -> SplitEnd {
      sekato::engine::RunTally left;
      left.pieces = pieces;
      left.directory = folder.toStdString();
      const sekato::engine::Message message =
          how == SplitOutcome::Stopped
              ? sekato::engine::Message(MessageId::Stopped)
              : sekato::engine::Message(MessageId::OpenSource, {"/books/novel.txt", "x"});
      return {how, message, left};
    });
    View()->OnSplitStart();
    QVERIFY(WaitUntil([&] { return WorkerEnded(); }));
    sekato::controls::AppMessageBox::SetChooser({});
    WebLinks::SetOpener({});
    QCOMPARE(messages.texts, QStringList{expected});
    QCOMPARE(offered.contains(QStringLiteral("打开文件夹")), offersFolder);
    QCOMPARE(opened, offersFolder ? QList<QUrl>{QUrl::fromLocalFile(folder)} : QList<QUrl>{});
  }

  // The system's reasons inside the engine's sentences are in the window's language.
  void systemReasonsInTheWindowsLanguage_data() {
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("worded");
    QTest::newRow("ENOENT") << ENOENT << QStringLiteral("文件或目录不存在");
    QTest::newRow("EACCES") << EACCES << QStringLiteral("没有权限");
    QTest::newRow("EROFS") << EROFS << QStringLiteral("文件系统是只读的");
    QTest::newRow("ENOSPC") << ENOSPC << QStringLiteral("磁盘空间不足");
    QTest::newRow("EDQUOT") << EDQUOT << QStringLiteral("超出了磁盘配额");
    QTest::newRow("EEXIST") << EEXIST << QStringLiteral("文件已存在");
    QTest::newRow("ENOTDIR") << ENOTDIR << QStringLiteral("路径中有一项不是目录");
    QTest::newRow("EIO, as the system says it") << EIO << QString::fromUtf8(std::strerror(EIO));
  }

  void systemReasonsInTheWindowsLanguage() {
    QFETCH(int, error);
    QFETCH(QString, worded);
    const sekato::engine::Message message(sekato::engine::MessageId::MakeFolder,
                                          {"/books/out", std::strerror(error)});
    QCOMPARE(EngineMessages::Text(message),
             QStringLiteral("无法建立目录“/books/out”：%1").arg(worded));
  }
};

QTEST_MAIN(TestRunMessages)
#include "tst_runmessages.moc"

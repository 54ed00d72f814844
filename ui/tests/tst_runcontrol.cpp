// Start and Stop from the frame's commands, with a scripted split standing in for the engine
// so that every state of a run can be held still and looked at.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QSemaphore>
#include <QThread>
#include <QtTest>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

#include "appmessagebox.h"
#include "cmainframe.h"
#include "csekatoapp.h"
#include "csekatoview.h"
#include "enginemessages.h"
#include "uitestsupport.h"
#include "weblinks.h"

using namespace sekato::ui;
using sekato::engine::MessageId;
using sekato::engine::SplitEnd;
using sekato::engine::SplitHost;
using sekato::engine::SplitOptions;
using sekato::engine::SplitOutcome;
using sekato::ui::test::Item;
using sekato::ui::test::MessageCapture;
using sekato::ui::test::WaitUntil;

namespace {

const QString kDone = QStringLiteral("文件分割完成！");
const QString kStopped = QStringLiteral("文件分割被终止！");

/// A split that runs until the test releases it or Stop clears the flag, then ends the way
/// the engine does: completion message and flag cleared, or termination message. `started`
/// and `ended` count runs that have begun and returned, for the test to wait on.
class ScriptedRun {
 public:
  CSplitWorker::RunFunction Function() {
    return [this](const SplitOptions& options, SplitHost& host) {
      ++runs;
      numeralSeries = options.numerals;
      host.Progress(0, 1000);
      started.release();
      {
        // Stop only lowers the flag, with nothing to wake a waiter: look at it as the engine
        // does between lines, while Release wakes the wait at once.
        std::unique_lock lock(m_mutex);
        while (!m_bReleased && host.Progress(0, 1000)) {
          m_cv.wait_for(lock, std::chrono::milliseconds(2));
        }
      }
      SplitEnd end = End(options, host);
      ended.release();
      return end;
    };
  }

  void Release() {
    const std::lock_guard lock(m_mutex);
    m_bReleased = true;
    m_cv.notify_all();
  }

  std::atomic<int> runs{0};
  QSemaphore started;
  QSemaphore ended;
  std::optional<sekato::engine::Numerals::Series> numeralSeries;
  SplitOptions optionsAtEnd;

 private:
  SplitEnd End(const SplitOptions& options, SplitHost& host) {
    optionsAtEnd = options;  // the run's own options, after the form was edited
    if (!host.Progress(0, 1000)) return {SplitOutcome::Stopped, {MessageId::Stopped}, {}};
    host.Progress(1000, 1000);
    return {SplitOutcome::Completed, {MessageId::Completed}, {}};
  }

  std::mutex m_mutex;
  std::condition_variable m_cv;
  bool m_bReleased = false;
};

constexpr int kPatienceMs = 20000;  // how long a step may take before the test gives up

/// Ends the test program if a step hangs (a deadlock would otherwise wait for ctest's timeout).
class Watchdog {
 public:
  explicit Watchdog(int seconds)
      : m_thread([this, seconds] {
          std::unique_lock lock(m_mutex);
          if (!m_cv.wait_for(lock, std::chrono::seconds(seconds), [this] { return m_bDone; })) {
            qFatal("watchdog: the window hung");
          }
        }) {}
  ~Watchdog() {
    {
      const std::lock_guard lock(m_mutex);
      m_bDone = true;
    }
    m_cv.notify_all();
    m_thread.join();
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_cv;
  bool m_bDone = false;
  std::thread m_thread;
};

}  // namespace

class TestRunControl : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<CSekatoApp> m_app;
  std::unique_ptr<ScriptedRun> m_run;

  CMainFrame* Frame() { return m_app->MainFrame(); }
  CSekatoView* View() { return m_app->View(); }
  CSplitRunControl* Run() { return View()->RunControl(); }
  bool StartEnabled() { return test::Action(Frame(), "actionStart")->isEnabled(); }
  bool StopEnabled() { return test::Action(Frame(), "actionStop")->isEnabled(); }
  void ChooseSource() { View()->ChooseSource(QStringLiteral("/books/novel.txt")); }
  bool WorkerEnded() { return !Run()->IsBusy(); }

 private slots:
  void init() {
    m_app = std::make_unique<CSekatoApp>();
    QVERIFY(m_app->InitInstance({QStringLiteral("sekato")}));
    m_run = std::make_unique<ScriptedRun>();
    Run()->SetRunFunction(m_run->Function());
  }

  void cleanup() {
    if (m_run) m_run->Release();
    m_app.reset();
    m_run.reset();
  }

  void statesThroughACompletedRun() {
    MessageCapture messages;
    QVERIFY(!StartEnabled());
    QVERIFY(!StopEnabled());
    ChooseSource();
    QVERIFY(StartEnabled());
    QVERIFY(!StopEnabled());

    QVERIFY(test::Trigger(Frame(), "actionStart"));
    QCOMPARE(View()->m_bRunning.load(), 1);
    QVERIFY(!StartEnabled());
    QVERIFY(StopEnabled());

    bool startWhileOpen = true;
    bool stopWhileOpen = false;
    messages.onMessage = [&](const QString&) {
      startWhileOpen = StartEnabled();
      stopWhileOpen = StopEnabled();
    };
    m_run->Release();
    QVERIFY(WaitUntil([&] { return WorkerEnded(); }));
    QCOMPARE(messages.texts, QStringList{kDone});
    QVERIFY(!startWhileOpen);  // the completion message is still open: still running
    QVERIFY(stopWhileOpen);
    QCOMPARE(View()->m_bRunning.load(), 0);
    QVERIFY(StartEnabled());
    QVERIFY(!StopEnabled());
    auto* bar = Item<QProgressBar>(View(), "progress");
    QCOMPARE(bar->maximum(), 1000);
    QCOMPARE(bar->value(), 1000);
  }

  void stopWhileTheCompletionMessageIsOpen() {
    MessageCapture messages;
    ChooseSource();
    test::Trigger(Frame(), "actionStart");
    bool startAfterStop = true;
    messages.onMessage = [&](const QString&) {
      QVERIFY(test::Trigger(Frame(), "actionStop"));
      startAfterStop = StartEnabled();  // the worker has not ended yet
    };
    m_run->Release();
    QVERIFY(WaitUntil([&] { return WorkerEnded(); }));
    QVERIFY(!startAfterStop);
    QCOMPARE(Run()->Worker()->Outcome(), SplitOutcome::Completed);
    QVERIFY(StartEnabled());
    QCOMPARE(m_run->runs.load(), 1);
  }

  void startWithoutASource() {
    MessageCapture messages;
    QVERIFY(!test::Trigger(Frame(), "actionStart"));  // disabled: nothing runs, nothing shown
    QVERIFY(messages.texts.isEmpty());
    View()->OnSplitStart();  // a Start that arrives anyway
    QCOMPARE(messages.texts, QStringList{QStringLiteral("还未选择待分割的文件！")});
    QCOMPARE(View()->m_bRunning.load(), 0);
    QVERIFY(Run()->Worker() == nullptr);
  }

  void startRightAfterStop() {
    MessageCapture messages;
    ChooseSource();
    test::Trigger(Frame(), "actionStart");
    QVERIFY(test::Trigger(Frame(), "actionStop"));
    QCOMPARE(View()->m_bRunning.load(), 0);
    // The stopped worker is still busy: neither the command nor a stray Start begins a run.
    QVERIFY(!StartEnabled());
    QVERIFY(!test::Trigger(Frame(), "actionStart"));
    View()->OnSplitStart();
    QVERIFY(WaitUntil([&] { return WorkerEnded(); }));
    QCOMPARE(m_run->runs.load(), 1);
    QCOMPARE(messages.texts, QStringList{kStopped});

    // Now a new run starts, and nothing of the old one clears its flag: with the new run
    // under way, everything the old one left queued is handled before the flag is read.
    QVERIFY(m_run->started.tryAcquire(1, kPatienceMs));
    QVERIFY(test::Trigger(Frame(), "actionStart"));
    QVERIFY(m_run->started.tryAcquire(1, kPatienceMs));
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents();
    QCOMPARE(View()->m_bRunning.load(), 1);
    m_run->Release();
    QVERIFY(WaitUntil([&] { return WorkerEnded(); }));
    QCOMPARE(m_run->runs.load(), 2);
    QCOMPARE(messages.texts, (QStringList{kStopped, kDone}));
  }

  void editsDuringARunChangeNothing() {
    MessageCapture messages;
    ChooseSource();
    test::Item<QComboBox>(View(), "numerals")->setCurrentIndex(2);
    test::Trigger(Frame(), "actionStart");
    QVERIFY(WaitUntil([&] { return m_run->runs.load() == 1; }));
    // Edit everything the run reads, through handlers that exchange in.
    Item<QLineEdit>(View(), "keywords")->setText(QStringLiteral("第 回"));
    Item<QLineEdit>(View(), "maxKb")->setText(QStringLiteral("7"));
    Item<QRadioButton>(View(), "splitModeSize")->click();
    Item<QRadioButton>(View(), "dirNew")->click();
    test::Item<QComboBox>(View(), "numerals")->setCurrentIndex(0);
    View()->ChooseSource(QStringLiteral("/elsewhere/other.txt"));
    m_run->Release();
    QVERIFY(WaitUntil([&] { return WorkerEnded(); }));
    const SplitOptions& seen = m_run->optionsAtEnd;
    QCOMPARE(seen.sourcePath, std::string("/books/novel.txt"));
    QCOMPARE(seen.sourceBase, std::string("/books/novel"));
    QVERIFY(seen.mode == sekato::engine::SplitMode::ByChapter);
    QVERIFY(seen.folder == sekato::engine::FolderChoice::BesideSource);
    QCOMPARE(seen.maxKb, std::int64_t{1000});
    QCOMPARE(seen.keywords, std::string("第  章"));
    QVERIFY(m_run->numeralSeries == sekato::engine::Numerals::Series::Chinese);
  }

  void noNumeralSelected() {
    MessageCapture messages;
    ChooseSource();
    test::Trigger(Frame(), "actionStart");
    m_run->Release();
    QVERIFY(WaitUntil([&] { return WorkerEnded(); }));
    QVERIFY(m_run->numeralSeries == sekato::engine::Numerals::Series::None);
  }

  void bookTextAndEncodingsGoToTheRunAsChosen() {
    // The run writes the texts in the pieces' encoding and refuses what that cannot hold, so
    // the form passes them on as typed, even text GBK could not write.
    MessageCapture messages;
    ChooseSource();
    Item<QLineEdit>(View(), "keywords")->setText(QStringLiteral("第 😀 章"));
    Item<QComboBox>(View(), "encoding")->setCurrentIndex(4);
    Item<QComboBox>(View(), "outEncoding")->setCurrentIndex(3);
    View()->OnSplitStart();
    m_run->Release();
    QVERIFY(WaitUntil([&] { return WorkerEnded(); }));
    const SplitOptions& seen = m_run->optionsAtEnd;
    QCOMPARE(seen.keywords, std::string("第 😀 章"));
    QVERIFY(seen.textEncoding == sekato::engine::Encoding::Utf8);
    QVERIFY(seen.encoding == sekato::engine::Encoding::Utf8);
    QVERIFY(seen.outEncoding == sekato::engine::Encoding::Big5);
  }

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

  void progressIsDrawnAtABoundedRate() {
    MessageCapture messages;
    ChooseSource();
    Run()->SetRunFunction([](const SplitOptions&, SplitHost& host) -> SplitEnd {
      constexpr std::int64_t kLines = 3'000'000;
      for (std::int64_t line = 0; line <= kLines && host.Progress(line, kLines); ++line) {
      }
      return {SplitOutcome::Completed, {MessageId::Completed}, {}};
    });
    auto* bar = Item<QProgressBar>(View(), "progress");
    int repaints = 0;
    connect(bar, &QProgressBar::valueChanged, this, [&] { ++repaints; });
    QElapsedTimer clock;
    clock.start();
    View()->OnSplitStart();
    QVERIFY(WaitUntil([&] { return WorkerEnded(); }));
    const auto elapsed = clock.elapsed();
    QVERIFY2(repaints <= elapsed / 40 + 3,
             qPrintable(QStringLiteral("%1 repaints in %2 ms").arg(repaints).arg(elapsed)));
    QCOMPARE(bar->maximum(), 3'000'000);
    QCOMPARE(bar->value(), 3'000'000);
  }

  void closingDuringARun() {
    MessageCapture messages;
    ChooseSource();
    test::Trigger(Frame(), "actionStart");
    QVERIFY(WaitUntil([&] { return m_run->runs.load() == 1; }));
    // Asked first: 继续分割 leaves the run alone, 停止并退出 stops it and waits.
    int choice = 1;
    sekato::controls::AppMessageBox::SetChooser(
        [&](const QString&, const QStringList&) { return choice; });
    QVERIFY(!Frame()->close());
    QVERIFY(Run()->IsSplitting());
    choice = 0;
    {
      const Watchdog watchdog(20);
      QVERIFY(Frame()->close());
    }
    sekato::controls::AppMessageBox::SetChooser({});
    QVERIFY(WorkerEnded());
    QCOMPARE(Run()->Worker()->Outcome(), SplitOutcome::Stopped);
    QCOMPARE(View()->m_bRunning.load(), 0);
    QCoreApplication::processEvents();
    QCOMPARE(messages.texts.size(), 2);  // the questions; nobody is left to read more
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

  void closingBeforeTheMessageIsShown() {
    MessageCapture messages;
    ChooseSource();
    test::Trigger(Frame(), "actionStart");
    m_run->Release();
    // The run has ended; without giving the window a chance to show the box, close it.
    QVERIFY(m_run->ended.tryAcquire(1, kPatienceMs));
    // The job has returned its end; its thread marks itself done right after. Waited for
    // without handling events, so the box still has no chance to show.
    QDeadlineTimer deadline(kPatienceMs);
    while (Run()->IsSplitting() && !deadline.hasExpired()) QThread::yieldCurrentThread();
    QVERIFY(!Run()->IsSplitting());
    {
      const Watchdog watchdog(20);
      QVERIFY(Frame()->close());
    }
    QVERIFY(WorkerEnded());
    QCOMPARE(Run()->Worker()->Outcome(), SplitOutcome::Completed);
    QCoreApplication::processEvents();
    QVERIFY(messages.texts.isEmpty());
    QVERIFY(!StartEnabled());  // a closed window starts nothing
    View()->OnSplitStart();
    QCOMPARE(m_run->runs.load(), 1);
  }
};

QTEST_MAIN(TestRunControl)
#include "tst_runcontrol.moc"

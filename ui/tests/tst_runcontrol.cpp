// Start and Stop from the frame's commands, with a scripted split standing in for the engine
// so that every state of a run can be held still and looked at.
#include <QComboBox>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QThread>
#include <QtTest>

#include "appmessagebox.h"
#include "runfixture.h"
#include "uitestsupport.h"
#include "watchdog.h"

using namespace sekato::ui;
using sekato::engine::MessageId;
using sekato::engine::SplitEnd;
using sekato::engine::SplitHost;
using sekato::engine::SplitOptions;
using sekato::engine::SplitOutcome;
using sekato::ui::test::Item;
using sekato::ui::test::MessageCapture;
using sekato::ui::test::WaitUntil;
using sekato::ui::test::Watchdog;

class TestRunControl : public QObject, protected sekato::ui::test::RunFixture {
  Q_OBJECT

 private slots:
  void init() { QVERIFY(OpenWindow()); }
  void cleanup() { CloseWindow(); }

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

#include "csplitworker.h"

#include <QFile>
#include <QMetaObject>
#include <QWidget>
#include <exception>
#include <system_error>
#include <utility>

#include "appmessagebox.h"
#include "messages.h"
#include "splitrun.h"
#include "weblinks.h"

namespace sekato::ui {

CSplitWorker::CSplitWorker(std::atomic<int>& running, int numeralSeries, QWidget* messageParent)
    : m_running(running), m_nNumeralSeries(numeralSeries), m_pMessageParent(messageParent) {}

CSplitWorker::~CSplitWorker() { Shutdown(); }

CSplitWorker::RunFunction CSplitWorker::EngineRun() {
  return [](const engine::SplitOptions& options, engine::SplitHost& host) {
    return engine::SplitThreadProc(options, host);
  };
}

CSplitWorker::ThreadStarter CSplitWorker::SystemThreads() {
  return [](std::function<void()> body) { return std::thread(std::move(body)); };
}

bool CSplitWorker::Start(engine::SplitOptions options, RunFunction run,
                         const ThreadStarter& starter) {
  m_bActive = true;
  try {
    m_thread = starter([this, options = std::move(options), run = std::move(run)] {
      engine::SplitOutcome outcome = engine::SplitOutcome::Failed;
      try {
        outcome = run(options, *this);
      } catch (const std::exception& error) {
        // The run cannot go on; say so and give the form back rather than end the program.
        ShowMessage(outcome, std::string("分割出错：") + error.what());
        ClearRunning();
      }
      m_outcome = outcome;
      QMetaObject::invokeMethod(this, &CSplitWorker::OnThreadEnded, Qt::QueuedConnection);
    });
  } catch (const std::system_error&) {
    m_bActive = false;
    return false;
  }
  if (!m_thread.joinable()) {  // a starter that gave back no thread
    m_bActive = false;
    return false;
  }
  return true;
}

void CSplitWorker::Shutdown() {
  // The flag is the form's: once this run has ended it may belong to the next one.
  if (m_bActive) m_running.store(0);
  {
    const std::lock_guard lock(m_mutex);
    m_bAbandoned = true;
  }
  m_cvMessage.notify_all();
  if (m_thread.joinable()) m_thread.join();
  m_bActive = false;
}

int CSplitWorker::NumeralSeries() { return m_nNumeralSeries; }

void CSplitWorker::ShowMessage(engine::SplitOutcome kind, const std::string& utf8Text) {
  std::unique_lock lock(m_mutex);
  if (m_bAbandoned) return;
  m_strPendingText = QString::fromStdString(utf8Text) + m_strWarnings;
  m_strPendingWarnings = m_strWarnings;
  m_strWarnings.clear();
  m_pendingKind = kind;
  m_bMessagePending = true;
  // The box must live on the user-interface thread. Only post here and wait for the answer:
  // a blocking call would deadlock with a window that waits for this thread while closing.
  QMetaObject::invokeMethod(this, &CSplitWorker::ShowPendingMessage, Qt::QueuedConnection);
  m_cvMessage.wait(lock, [this] { return !m_bMessagePending || m_bAbandoned; });
}

void CSplitWorker::ShowPendingMessage() {
  QString text;
  QString warnings;
  bool completed = false;
  {
    const std::lock_guard lock(m_mutex);
    if (!m_bMessagePending || m_bAbandoned) return;
    text = m_strPendingText;
    completed = m_pendingKind == engine::SplitOutcome::Completed && m_tally.pieces > 0;
    warnings = m_strPendingWarnings;
  }
  const QPointer<CSplitWorker> alive(this);
  if (completed) {
    // Says what was written and where, with the folder a click away; a chapter split that
    // found nothing offers the preview, which tells why.
    const bool noHeading = m_tally.headings == 0;
    QStringList actions{QStringLiteral("打开文件夹")};
    if (noHeading) actions << QStringLiteral("预览章节");
    const QString folder = QFile::decodeName(QByteArray::fromStdString(m_tally.directory));
    const int chosen =
        controls::AppMessageBox::ShowWithActions(m_pMessageParent, CompletionText(m_tally) + warnings, actions);
    if (!alive) return;
    if (chosen == 0) WebLinks::OpenFolder(folder);
    if (chosen == 1) m_bPreviewAsked = true;
  } else {
    controls::AppMessageBox::Show(m_pMessageParent, text);
  }
  if (!alive) return;  // the window went away while its box was open
  {
    const std::lock_guard lock(m_mutex);
    m_bMessagePending = false;
  }
  m_cvMessage.notify_all();
}

void CSplitWorker::SetProgressRange(std::int64_t upper) {
  m_nPos.store(0, std::memory_order_relaxed);
  m_nUpper.store(upper, std::memory_order_relaxed);
}

void CSplitWorker::SetProgressPos(std::int64_t position) {
  m_nPos.store(position, std::memory_order_relaxed);
}

bool CSplitWorker::IsRunning() { return m_running.load(std::memory_order_relaxed) != 0; }

void CSplitWorker::ClearRunning() {
  m_running.store(0);
  QMetaObject::invokeMethod(this, &CSplitWorker::RunningCleared, Qt::QueuedConnection);
}

void CSplitWorker::Warn(const std::string& utf8Text) {
  m_strWarnings += QLatin1Char('\n') + QString::fromStdString(utf8Text);
}

void CSplitWorker::Tally(const engine::RunTally& tally) {
  const std::lock_guard lock(m_mutex);
  m_tally = tally;
}

QString CSplitWorker::CompletionText(const engine::RunTally& tally) {
  QString text = QString::fromUtf8(engine::Messages::kCompleted.data(),
                                   static_cast<qsizetype>(engine::Messages::kCompleted.size()));
  text += QStringLiteral("\n共写出 %1 个文件，保存在：\n%2")
              .arg(tally.pieces)
              .arg(QFile::decodeName(QByteArray::fromStdString(tally.directory)));
  if (tally.headings == 0) {
    text += QStringLiteral("\n\n没有找到章节标题，全文都写进了一个文件。"
                           "“预览章节”可以列出书中标题的样子和能找到它们的设置。");
  }
  return text;
}

void CSplitWorker::OnThreadEnded() {
  if (m_thread.joinable()) m_thread.join();
  if (!m_bActive.exchange(false)) return;  // already joined by Shutdown
  emit Ended();
}

}  // namespace sekato::ui

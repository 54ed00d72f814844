#include "csplitworker.h"

#include <QMetaObject>
#include <QWidget>
#include <exception>
#include <system_error>
#include <utility>

#include "appmessagebox.h"
#include "splitrun.h"

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

void CSplitWorker::ShowMessage(engine::SplitOutcome /*kind*/, const std::string& utf8Text) {
  std::unique_lock lock(m_mutex);
  if (m_bAbandoned) return;
  m_strPendingText = QString::fromStdString(utf8Text) + m_strWarnings;
  m_strWarnings.clear();
  m_bMessagePending = true;
  // The box must live on the user-interface thread. Only post here and wait for the answer:
  // a blocking call would deadlock with a window that waits for this thread while closing.
  QMetaObject::invokeMethod(this, &CSplitWorker::ShowPendingMessage, Qt::QueuedConnection);
  m_cvMessage.wait(lock, [this] { return !m_bMessagePending || m_bAbandoned; });
}

void CSplitWorker::ShowPendingMessage() {
  QString text;
  {
    const std::lock_guard lock(m_mutex);
    if (!m_bMessagePending || m_bAbandoned) return;
    text = m_strPendingText;
  }
  const QPointer<CSplitWorker> alive(this);
  controls::AppMessageBox::Show(m_pMessageParent, text);
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

void CSplitWorker::OnThreadEnded() {
  if (m_thread.joinable()) m_thread.join();
  if (!m_bActive.exchange(false)) return;  // already joined by Shutdown
  emit Ended();
}

}  // namespace sekato::ui

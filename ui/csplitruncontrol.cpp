#include "csplitruncontrol.h"

#include <QFile>
#include <QFileInfo>
#include <QMetaObject>
#include <QProgressBar>
#include <algorithm>
#include <climits>
#include <system_error>

#include "appmessagebox.h"
#include "enginemessages.h"
#include "sekato/splitrun.h"
#include "weblinks.h"

namespace sekato::ui {

namespace {
constexpr int kProgressIntervalMs = 50;  // the bar is redrawn at most 20 times a second
}  // namespace

CSplitRunControl::CSplitRunControl(std::atomic<int>& running, QProgressBar* bar,
                                   QWidget* messageParent)
    : m_running(running),
      m_pBar(bar),
      m_pMessageParent(messageParent),
      m_run(&CSplitWorker::RunSplit),
      m_starter([](std::function<void()> body) { return std::thread(std::move(body)); }) {
  m_progressTimer.setInterval(kProgressIntervalMs);
  connect(&m_progressTimer, &QTimer::timeout, this, &CSplitRunControl::UpdateProgress);
}

CSplitRunControl::~CSplitRunControl() {
  m_bClosing = true;
  m_running = 0;
  if (m_thread.joinable()) m_thread.join();
}

template <typename Change>
void CSplitRunControl::Changing(Change change) {
  const bool couldStart = CanStart();
  const bool couldStop = CanStop();
  change();
  if (CanStart() != couldStart) emit CanStartChanged(CanStart());
  if (CanStop() != couldStop) emit CanStopChanged(CanStop());
}

void CSplitRunControl::SetSourceChosen(bool bChosen) {
  Changing([&] { m_bSource = bChosen; });
}

void CSplitRunControl::SetRuleValid(bool bValid) {
  Changing([&] { m_bRuleValid = bValid; });
}

bool CSplitRunControl::Start(engine::SplitOptions options) {
  return Launch(
      false,
      [options = std::move(options), run = m_run](CSplitWorker& worker) {
        worker.Split(options, run);
      },
      tr("无法启动分割线程，文件没有分割！"));
}

bool CSplitRunControl::StartPreview(engine::SplitOptions options) {
  return Launch(
      true, [options = std::move(options)](CSplitWorker& worker) { worker.Preview(options); },
      tr("无法启动预览线程！"));
}

bool CSplitRunControl::Launch(bool bPreview, std::function<void(CSplitWorker&)> job,
                              const QString& failure) {
  if (m_bClosing || m_bBusy) return false;
  // The last job has ended and been joined. The flag is up before the thread exists, so the
  // job's first look at it reads 1.
  m_pWorker = std::make_unique<CSplitWorker>(m_running);
  m_running = 1;
  m_bPreviewing = bPreview;
  m_nShownUpper = -1;
  try {
    m_bThreadDone = false;
    m_thread = m_starter([this, worker = m_pWorker.get(), job = std::move(job)] {
      job(*worker);
      m_bThreadDone = true;
      QMetaObject::invokeMethod(this, &CSplitRunControl::OnThreadEnded, Qt::QueuedConnection);
    });
  } catch (const std::system_error&) {
  }
  if (!m_thread.joinable()) {  // refused, or a starter that gave back no thread
    m_bThreadDone = true;
    m_running = 0;
    controls::AppMessageBox::Show(m_pMessageParent, failure);
    return false;
  }
  // The flag went up before the commands were told: tell them now.
  m_bBusy = true;
  m_progressTimer.start();
  emit CanStartChanged(CanStart());
  emit CanStopChanged(CanStop());
  return true;
}

bool CSplitRunControl::StartQueue(CBookQueue& queue, std::vector<engine::SplitOptions> runs) {
  if (m_bClosing || m_bBusy) return false;
  if (!queue.Start(std::move(runs))) return false;  // it raises the flag
  m_pQueue = &queue;
  m_bPreviewing = false;
  m_bBusy = true;
  emit CanStartChanged(CanStart());
  emit CanStopChanged(CanStop());
  connect(&queue, &CBookQueue::Finished, this, &CSplitRunControl::OnQueueEnded,
          Qt::SingleShotConnection);
  return true;
}

void CSplitRunControl::OnQueueEnded(int done) {
  const QPointer<CBookQueue> queue = m_pQueue;
  m_pQueue = nullptr;
  if (m_bClosing || queue.isNull()) return;
  QString text = tr("%1 本书中有 %2 本分割完成。").arg(queue->Count()).arg(done);
  for (const CBookQueue::Row& row : queue->Rows()) {
    if (row.state == CBookQueue::State::Failed) {
      text += QLatin1Char('\n') + tr("%1：%2").arg(QFileInfo(row.path).fileName(), row.reason);
    }
  }
  const QPointer<CSplitRunControl> alive(this);
  controls::AppMessageBox::Show(m_pMessageParent, text);
  if (!alive || m_bClosing) return;
  Changing([&] {
    m_running = 0;
    m_bBusy = false;
  });
}

void CSplitRunControl::Stop() {
  Changing([&] { m_running = 0; });
}

void CSplitRunControl::StopAndWait() {
  Changing([&] {
    m_bClosing = true;
    m_progressTimer.stop();
    m_running = 0;
    if (m_thread.joinable()) m_thread.join();
    if (m_pQueue) m_pQueue->StopAndWait();
    m_bBusy = false;
  });
}

void CSplitRunControl::OnThreadEnded() {
  if (!m_thread.joinable()) return;  // already joined while the window closed
  m_thread.join();
  m_progressTimer.stop();
  UpdateProgress();
  if (m_nPercent >= 0) emit PercentChanged(m_nPercent = -1);
  if (m_bClosing) return;
  if (m_bPreviewing) {
    OnPreviewEnded(m_pWorker->GetResult());
  } else {
    OnSplitEnded(m_pWorker->GetResult());
  }
}

void CSplitRunControl::OnSplitEnded(CSplitWorker::Result result) {
  // The run is still busy while its message is open: Start waits for it to be read.
  const QPointer<CSplitRunControl> alive(this);
  int chosen = -1;
  if (result.outcome == engine::SplitOutcome::Completed && result.tally.pieces > 0) {
    // Says what was written and where, with the folder a click away; a chapter split that
    // found nothing offers the preview, which tells why.
    QStringList actions{tr("打开文件夹")};
    if (result.tally.headings == 0) actions << tr("预览章节");
    chosen = controls::AppMessageBox::ShowWithActions(
        m_pMessageParent, CSplitWorker::CompletionText(result.tally) + result.warnings, actions);
  } else if (!result.text.isEmpty()) {
    controls::AppMessageBox::Show(m_pMessageParent, result.text);
  }
  if (chosen == 0) {
    WebLinks::OpenFolder(QFile::decodeName(QByteArray::fromStdString(result.tally.directory)));
  }
  if (!alive || m_bClosing) return;  // the window went away while its box was open
  Changing([&] {
    if (result.clearRunning) m_running = 0;
    m_bBusy = false;
  });
  // Now that the run has given the form back, the preview can start.
  if (chosen == 1) emit PreviewAsked();
}

void CSplitRunControl::OnPreviewEnded(const CSplitWorker::Result& ended) {
  const engine::ScanResult& result = ended.scan;
  // A preview writes nothing: a full bar would say otherwise.
  if (m_pBar) m_pBar->setValue(m_pBar->minimum());
  Changing([&] {
    m_running = 0;
    m_bBusy = false;
  });
  switch (result.status) {
    case engine::ScanResult::Status::Done:
      emit PreviewReady(result);
      break;
    case engine::ScanResult::Status::Stopped:
      break;  // the user stopped it and wants nothing more
    case engine::ScanResult::Status::Refused:
    case engine::ScanResult::Status::Failed:
      controls::AppMessageBox::Show(
          m_pMessageParent, ended.text.isEmpty() ? EngineMessages::Text(result.error) : ended.text);
      break;
  }
}

void CSplitRunControl::UpdateProgress() {
  if (!m_pBar || !m_pWorker) return;
  const std::int64_t upper = m_pWorker->ProgressUpper();
  if (upper < 0) return;  // the run has not measured its source (yet)
  if (upper != m_nShownUpper) {
    m_nShownUpper = upper;
    m_nProgressShift = 0;
    while ((upper >> m_nProgressShift) > INT_MAX) ++m_nProgressShift;
    // An empty range would make the bar a busy indicator; an empty source shows an empty bar.
    m_pBar->setRange(0, std::max(1, static_cast<int>(upper >> m_nProgressShift)));
  }
  const std::int64_t pos = std::clamp<std::int64_t>(m_pWorker->ProgressPos(), 0, upper);
  const int value = static_cast<int>(pos >> m_nProgressShift);
  if (m_pBar->value() != value) m_pBar->setValue(value);
  // The title tells a split's progress where the bar may be scrolled out of sight.
  const int percent = upper > 0 ? static_cast<int>(pos * 100 / upper) : 0;
  if (!m_bPreviewing && m_thread.joinable() && percent != m_nPercent) {
    emit PercentChanged(m_nPercent = percent);
  }
}

}  // namespace sekato::ui

#include "csplitruncontrol.h"

#include <QProgressBar>
#include <algorithm>
#include <climits>

#include "appmessagebox.h"

namespace sekato::ui {

namespace {
constexpr int kProgressIntervalMs = 50;  // the bar is redrawn at most 20 times a second
}  // namespace

CSplitRunControl::CSplitRunControl(std::atomic<int>& running, QProgressBar* bar,
                                   QWidget* messageParent)
    : m_running(running),
      m_pBar(bar),
      m_pMessageParent(messageParent),
      m_run(CSplitWorker::EngineRun()),
      m_starter(CSplitWorker::SystemThreads()) {
  m_progressTimer.setInterval(kProgressIntervalMs);
  connect(&m_progressTimer, &QTimer::timeout, this, &CSplitRunControl::UpdateProgress);
}

CSplitRunControl::~CSplitRunControl() {
  m_bClosing = true;
  m_running = 0;
  m_pWorker.reset();  // joins
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

bool CSplitRunControl::Start(engine::SplitOptions options, int numeralSeries) {
  if (m_bClosing || m_bBusy) return false;
  m_pWorker.reset();  // the last run has ended and been joined
  m_nShownUpper = -1;
  bool started = false;
  Changing([&] {
    // The flag is up before the thread exists, so the run's first look at it reads 1.
    m_running = 1;
    m_pWorker = std::make_unique<CSplitWorker>(m_running, numeralSeries);
    connect(m_pWorker.get(), &CSplitWorker::Ended, this, &CSplitRunControl::OnWorkerEnded);
    started = m_pWorker->Start(std::move(options), m_run, m_starter);
    if (started) {
      m_bBusy = true;
      m_progressTimer.start();
    } else {
      m_running = 0;
    }
  });
  if (!started) {
    controls::AppMessageBox::Show(m_pMessageParent, QStringLiteral("无法启动分割线程，文件没有分割！"));
  }
  return started;
}

void CSplitRunControl::Stop() {
  Changing([&] { m_running = 0; });
}

void CSplitRunControl::StopAndWait() {
  Changing([&] {
    m_bClosing = true;
    m_progressTimer.stop();
    m_running = 0;
    if (m_pWorker) m_pWorker->Join();
    m_bBusy = false;
  });
}

void CSplitRunControl::OnWorkerEnded() {
  m_progressTimer.stop();
  UpdateProgress();
  if (m_bClosing) return;
  // The run is still busy while its message is open: Start waits for it to be read.
  const CSplitWorker::Result result = m_pWorker->GetResult();
  const QPointer<CSplitRunControl> alive(this);
  if (!result.text.isEmpty()) controls::AppMessageBox::Show(m_pMessageParent, result.text);
  if (!alive || m_bClosing) return;  // the window went away while its box was open
  Changing([&] {
    if (result.clearRunning) m_running = 0;
    m_bBusy = false;
  });
}

void CSplitRunControl::UpdateProgress() {
  if (!m_pWorker || !m_pBar) return;
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
}

}  // namespace sekato::ui

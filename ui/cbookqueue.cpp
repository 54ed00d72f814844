#include "cbookqueue.h"

#include <QFile>
#include <QMetaObject>
#include <algorithm>

#include "csplitworker.h"
#include "sekato/outputfolders.h"
#include "sekato/sourcepath.h"
#include "sekato/workerpool.h"

namespace sekato::ui {

namespace {
constexpr int kPollMs = 100;  // rows are redrawn at most ten times a second

std::string Local(const QString& path) { return QFile::encodeName(path).toStdString(); }
}  // namespace

CBookQueue::CBookQueue(std::atomic<int>& running, QObject* parent)
    : QObject(parent), m_running(running) {
  m_poll.setInterval(kPollMs);
  connect(&m_poll, &QTimer::timeout, this, &CBookQueue::Poll);
}

CBookQueue::~CBookQueue() { StopAndWait(); }

std::vector<engine::SplitOptions> CBookQueue::OptionsFor(const engine::SplitOptions& form,
                                                         const QStringList& books) {
  std::vector<engine::SplitOptions> runs;
  runs.reserve(static_cast<std::size_t>(books.size()));
  const bool ownName = form.naming == engine::PieceNaming::Custom;
  for (const QString& book : books) {
    engine::SplitOptions o = form;
    o.sourcePath = Local(book);
    o.sourceBase = engine::SourcePath::Base(o.sourcePath);
    o.sourceTitle = engine::SourcePath::Title(o.sourcePath);
    if (!ownName) o.customName = o.sourceTitle;
    // Books split into one chosen folder would overwrite each other's pieces: each gets its
    // own there.
    if (form.folder == engine::FolderChoice::NewFolder && !form.newFolder.empty()) {
      o.newFolder = engine::OutputFolders::InChosen(form.newFolder, o.sourcePath);
    }
    runs.push_back(std::move(o));
  }
  return runs;
}

void CBookQueue::SetBooks(const QStringList& books) {
  if (IsRunning()) return;
  m_rows.clear();
  for (const QString& book : books) {
    Row row;
    row.path = book;
    m_rows.push_back(row);
  }
  for (int i = 0; i < Count(); ++i) emit RowChanged(i);
}

bool CBookQueue::Start(std::vector<engine::SplitOptions> runs, unsigned jobs) {
  if (IsRunning() || runs.size() != static_cast<std::size_t>(m_rows.size()) || runs.empty()) {
    return false;
  }
  const std::size_t count = runs.size();
  m_workers.clear();
  for (std::size_t i = 0; i < count; ++i) {
    m_workers.push_back(std::make_unique<CSplitWorker>(m_running));
  }
  m_started = std::vector<std::atomic<int>>(count);
  m_ended = std::vector<std::atomic<int>>(count);
  for (int i = 0; i < Count(); ++i) {
    Row fresh;
    fresh.path = m_rows[i].path;
    m_rows[i] = fresh;
    emit RowChanged(i);
  }
  if (jobs == 0) jobs = engine::WorkerPool::Processors();
  jobs = static_cast<unsigned>(std::min<std::size_t>(jobs, count));
  m_running = 1;
  m_thread = std::thread([this, runs = std::move(runs), jobs] {
    std::atomic<std::size_t> next{0};
    engine::WorkerPool::Run(jobs, [&] {
      for (std::size_t i = next++; i < runs.size() && m_running.load() != 0; i = next++) {
        m_started[i] = 1;
        m_workers[i]->Split(runs[i], &CSplitWorker::RunSplit);
        m_ended[i] = 1;
      }
    });
    QMetaObject::invokeMethod(this, &CBookQueue::OnThreadEnded, Qt::QueuedConnection);
  });
  m_poll.start();
  return true;
}

void CBookQueue::Stop() { m_running = 0; }

void CBookQueue::StopAndWait() {
  m_running = 0;
  m_poll.stop();
  if (m_thread.joinable()) m_thread.join();
}

void CBookQueue::Poll() {
  for (int i = 0; i < Count(); ++i) {
    Row& row = m_rows[i];
    if (row.state != State::Waiting && row.state != State::Running) continue;
    const auto at = static_cast<std::size_t>(i);
    if (m_ended[at].load() != 0) {
      Settle(i);
      continue;
    }
    if (m_started[at].load() == 0) continue;
    const std::int64_t upper = m_workers[at]->ProgressUpper();
    const int percent =
        upper > 0 ? static_cast<int>(m_workers[at]->ProgressPos() * 100 / upper) : 0;
    if (row.state != State::Running || row.percent != percent) {
      row.state = State::Running;
      row.percent = std::clamp(percent, 0, 100);
      emit RowChanged(i);
    }
  }
}

// The row's run has returned: what it ended with becomes the row's state.
void CBookQueue::Settle(int i) {
  Row& row = m_rows[i];
  const CSplitWorker::Result& result = m_workers[static_cast<std::size_t>(i)]->GetResult();
  switch (result.outcome) {
    case engine::SplitOutcome::Completed:
      row.state = State::Done;
      row.pieces = static_cast<int>(result.tally.pieces);
      break;
    case engine::SplitOutcome::Stopped:
      row.state = State::Stopped;
      row.pieces = static_cast<int>(result.tally.pieces);
      break;
    default:
      row.state = State::Failed;
      row.reason = result.text.section(QLatin1Char('\n'), 0, 0);
      break;
  }
  emit RowChanged(i);
}

void CBookQueue::OnThreadEnded() {
  if (!m_thread.joinable()) return;  // already joined while the window closed
  m_thread.join();
  m_poll.stop();
  int done = 0;
  for (int i = 0; i < Count(); ++i) {
    const auto at = static_cast<std::size_t>(i);
    if (m_ended[at].load() != 0 &&
        (m_rows[i].state == State::Waiting || m_rows[i].state == State::Running)) {
      Settle(i);
    } else if (m_started[at].load() == 0) {
      m_rows[i].state = State::Stopped;  // never started: Stop came first
      emit RowChanged(i);
    }
    done += m_rows[i].state == State::Done;
  }
  emit Finished(done);
}

}  // namespace sekato::ui

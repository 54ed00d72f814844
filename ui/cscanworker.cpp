#include "cscanworker.h"

#include <QMetaObject>
#include <exception>
#include <system_error>

#include "chapterscan.h"

namespace sekato::ui {

CScanWorker::CScanWorker(std::atomic<int>& running) : m_running(running) {}

CScanWorker::~CScanWorker() { Shutdown(); }

bool CScanWorker::Start(engine::SplitOptions options, engine::Numerals::Series series,
                           const CSplitWorker::ThreadStarter& starter) {
  m_bActive = true;
  try {
    m_thread = starter([this, options = std::move(options), series] {
      try {
        m_result = engine::ChapterScan::Run(
            options, series, [this](std::int64_t position, std::int64_t length) {
              m_nUpper.store(length, std::memory_order_relaxed);
              m_nPos.store(position, std::memory_order_relaxed);
              return m_running.load(std::memory_order_relaxed) != 0;
            });
      } catch (const std::exception& error) {
        m_result = {};
        m_result.status = engine::ScanResult::Status::Failed;
        m_result.error = std::string("预览出错：") + error.what();
      }
      QMetaObject::invokeMethod(this, &CScanWorker::OnThreadEnded, Qt::QueuedConnection);
    });
  } catch (const std::system_error&) {
    m_bActive = false;
    return false;
  }
  if (!m_thread.joinable()) {
    m_bActive = false;
    return false;
  }
  return true;
}

void CScanWorker::Shutdown() {
  if (m_bActive) m_running.store(0);
  if (m_thread.joinable()) m_thread.join();
  m_bActive = false;
}

void CScanWorker::OnThreadEnded() {
  if (m_thread.joinable()) m_thread.join();
  if (!m_bActive.exchange(false)) return;  // already joined by Shutdown
  emit Ended();
}

}  // namespace sekato::ui

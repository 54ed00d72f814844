#include "watchdog.h"

#include <QtGlobal>
#include <chrono>

namespace sekato::ui::test {

Watchdog::Watchdog(int seconds)
    : m_thread([this, seconds] {
        std::unique_lock lock(m_mutex);
        if (!m_cv.wait_for(lock, std::chrono::seconds(seconds), [this] { return m_bDone; })) {
          qFatal("watchdog: the window hung");
        }
      }) {}

Watchdog::~Watchdog() {
  {
    const std::lock_guard lock(m_mutex);
    m_bDone = true;
  }
  m_cv.notify_all();
  m_thread.join();
}

}  // namespace sekato::ui::test

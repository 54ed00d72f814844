#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

namespace sekato::ui::test {

/// Ends the test program if a step hangs (a deadlock would otherwise wait for ctest's timeout).
class Watchdog final {
 public:
  explicit Watchdog(int seconds);
  ~Watchdog();
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

 private:
  std::mutex m_mutex;
  std::condition_variable m_cv;
  bool m_bDone = false;
  std::thread m_thread;
};

}  // namespace sekato::ui::test

#include "interruptflag.h"

#include <csignal>

namespace sekato::cli {

namespace {
// The flag the signals clear; a lock-free atomic is safe to store from a signal handler.
std::atomic<int>* g_runFlag = nullptr;

extern "C" void OnInterrupt(int) {
  if (g_runFlag != nullptr) g_runFlag->store(0);
}
}  // namespace

InterruptFlag::InterruptFlag() {
  static_assert(std::atomic<int>::is_always_lock_free);
  g_runFlag = &m_bRunning;
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  // The second Ctrl-C ends the program. No SA_RESTART: a system call waiting when the
  // signal comes returns at once, so the run sees the cleared flag instead of waiting on.
  action.sa_flags = SA_RESETHAND;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  // Past a file-size limit (ulimit -f) a write then fails with EFBIG and is reported like a
  // full disk, naming the piece, instead of the program being killed without a word.
  std::signal(SIGXFSZ, SIG_IGN);
}

InterruptFlag::~InterruptFlag() {
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
  std::signal(SIGXFSZ, SIG_DFL);
  g_runFlag = nullptr;
}

}  // namespace sekato::cli

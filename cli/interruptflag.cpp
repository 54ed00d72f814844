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
  action.sa_flags = SA_RESETHAND | SA_RESTART;  // the second Ctrl-C ends the program
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

InterruptFlag::~InterruptFlag() {
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
  g_runFlag = nullptr;
}

}  // namespace sekato::cli

#include "terminalhost.h"

#include <csignal>
#include <cstdio>
#include <unistd.h>

#include "messages.h"

namespace sekato::cli {

namespace {
// The flag Ctrl-C clears; a lock-free atomic is safe to store from a signal handler.
std::atomic<int>* g_runFlag = nullptr;

extern "C" void OnInterrupt(int) {
  if (g_runFlag != nullptr) g_runFlag->store(0);
}
}  // namespace

TerminalHost::TerminalHost(int series, bool quiet) : m_nSeries(series), m_bQuiet(quiet) {
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

TerminalHost::~TerminalHost() {
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
  std::signal(SIGXFSZ, SIG_DFL);
  g_runFlag = nullptr;
}

void TerminalHost::ShowMessage(engine::SplitOutcome kind, const std::string& utf8Text) {
  if (m_meter) m_meter->Finish();
  switch (kind) {
    case engine::SplitOutcome::Completed:
      if (!m_bQuiet) std::fprintf(stderr, "%s\n", utf8Text.c_str());
      break;
    case engine::SplitOutcome::Stopped:
      std::fprintf(stderr, "%s\n", utf8Text.c_str());
      break;
    case engine::SplitOutcome::Refused:
    case engine::SplitOutcome::Failed:
      std::fprintf(stderr, "sekato-cli: %s\n", utf8Text.c_str());
      break;
  }
}

void TerminalHost::ReportEncoding(engine::Encoding encoding, bool /*detected*/) {
  if (m_bQuiet) return;
  const std::string line = engine::Messages::Format(engine::Messages::kSourceEncoding,
                                                    engine::Encodings::DisplayName(encoding));
  std::fprintf(stderr, "%s\n", line.c_str());
}

void TerminalHost::Warn(const std::string& utf8Text) {
  if (m_meter) m_meter->Finish();
  std::fprintf(stderr, "sekato-cli: 警告：%s\n", utf8Text.c_str());
}

void TerminalHost::SetProgressRange(std::int64_t upper) {
  if (!m_bQuiet && ::isatty(STDERR_FILENO)) {
    m_meter = std::make_unique<ProgressMeter>(stderr);
    m_meter->SetRange(upper);
  }
}

}  // namespace sekato::cli

#include "terminalhost.h"

#include <unistd.h>

#include <cstdio>

namespace sekato::cli {

TerminalHost::TerminalHost(bool quiet, std::atomic<int>& running, std::string prefix, bool bar,
                           bool tellEncoding)
    : m_bQuiet(quiet),
      m_running(running),
      m_strPrefix(std::move(prefix)),
      m_bBar(bar),
      m_bTellEncoding(tellEncoding) {}

bool TerminalHost::Progress(std::int64_t position, std::int64_t length) {
  if (!m_bRanged && length >= 0) {
    m_bRanged = true;
    if (!m_bQuiet && m_bBar && ::isatty(STDERR_FILENO)) {
      m_meter = std::make_unique<ProgressMeter>(stderr);
      m_meter->SetRange(length);
    }
  }
  if (m_meter) m_meter->Update(position);
  return m_running.load(std::memory_order_relaxed) != 0;
}

void TerminalHost::EndBar() {
  if (m_meter) m_meter->Finish();
}

void TerminalHost::Tell(const engine::SplitEnd& end) {
  EndBar();
  const std::string text = end.message.Text();
  switch (end.outcome) {
    case engine::SplitOutcome::Completed:
      if (!m_bQuiet) std::fprintf(stderr, "%s%s\n", m_strPrefix.c_str(), text.c_str());
      break;
    case engine::SplitOutcome::Stopped:
      std::fprintf(stderr, "%s%s\n", m_strPrefix.c_str(), text.c_str());
      break;
    case engine::SplitOutcome::Refused:
    case engine::SplitOutcome::Failed:
      std::fprintf(stderr, "sekato-cli: %s%s\n", m_strPrefix.c_str(), text.c_str());
      break;
  }
}

void TerminalHost::ReportEncoding(engine::Encoding encoding, bool /*detected*/) {
  if (m_bQuiet || !m_bTellEncoding) return;
  const std::string line =
      engine::Message(engine::MessageId::SourceEncoding,
                      {std::string(engine::Encodings::DisplayName(encoding))})
          .Text();
  std::fprintf(stderr, "%s%s\n", m_strPrefix.c_str(), line.c_str());
}

void TerminalHost::Warn(const engine::Message& message) {
  EndBar();
  std::fprintf(stderr, "sekato-cli: %s警告：%s\n", m_strPrefix.c_str(), message.Text().c_str());
}

}  // namespace sekato::cli

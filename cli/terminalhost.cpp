#include "terminalhost.h"

#include <cstdio>
#include <unistd.h>

namespace sekato::cli {

TerminalHost::TerminalHost(int series, bool quiet, std::atomic<int>& running,
                           std::string prefix, bool bar)
    : m_nSeries(series),
      m_bQuiet(quiet),
      m_running(running),
      m_strPrefix(std::move(prefix)),
      m_bBar(bar) {}

void TerminalHost::ShowMessage(engine::SplitOutcome kind, const std::string& utf8Text) {
  if (m_meter) m_meter->Finish();
  switch (kind) {
    case engine::SplitOutcome::Completed:
      if (!m_bQuiet) std::fprintf(stderr, "%s%s\n", m_strPrefix.c_str(), utf8Text.c_str());
      break;
    case engine::SplitOutcome::Stopped:
      std::fprintf(stderr, "%s%s\n", m_strPrefix.c_str(), utf8Text.c_str());
      break;
    case engine::SplitOutcome::Refused:
    case engine::SplitOutcome::Failed:
      std::fprintf(stderr, "sekato-cli: %s%s\n", m_strPrefix.c_str(), utf8Text.c_str());
      break;
  }
}

void TerminalHost::SetProgressRange(std::int64_t upper) {
  if (!m_bQuiet && m_bBar && ::isatty(STDERR_FILENO)) {
    m_meter = std::make_unique<ProgressMeter>(stderr);
    m_meter->SetRange(upper);
  }
}

}  // namespace sekato::cli

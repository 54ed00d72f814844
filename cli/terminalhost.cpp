#include "terminalhost.h"

#include <unistd.h>

#include <cstdio>

#include "messages.h"

namespace sekato::cli {

TerminalHost::TerminalHost(engine::Numerals::Series series, bool quiet, std::atomic<int>& running,
                           std::string prefix, bool bar)
    : m_series(series),
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

void TerminalHost::ReportEncoding(engine::Encoding encoding, bool /*detected*/) {
  if (m_bQuiet) return;
  const std::string line = engine::Messages::Format(engine::Messages::kSourceEncoding,
                                                    engine::Encodings::DisplayName(encoding));
  std::fprintf(stderr, "%s%s\n", m_strPrefix.c_str(), line.c_str());
}

void TerminalHost::Warn(const std::string& utf8Text) {
  if (m_meter) m_meter->Finish();
  std::fprintf(stderr, "sekato-cli: %s警告：%s\n", m_strPrefix.c_str(), utf8Text.c_str());
}

void TerminalHost::SetProgressRange(std::int64_t upper) {
  if (!m_bQuiet && m_bBar && ::isatty(STDERR_FILENO)) {
    m_meter = std::make_unique<ProgressMeter>(stderr);
    m_meter->SetRange(upper);
  }
}

}  // namespace sekato::cli

#pragma once

#include <cstdint>

#include "sekato/splithost.h"

namespace sekato::engine {

/// A host for one pass of a run that reads its source more than once (detection, then the
/// split): the pass's progress goes on as its share of the whole, so the bar runs once from
/// start to end. Pass 0 of 2 at 30% of its length shows as 15%; pass 1 of 2 at 30%, as 65%.
class ProgressShare final : public SplitHost {
 public:
  /// Pass `pass` (from 0) of `passes`; only the first tells the host the source's encoding.
  ProgressShare(SplitHost& host, std::int64_t pass, std::int64_t passes)
      : m_host(host), m_pass(pass), m_passes(passes) {}

  bool Progress(std::int64_t position, std::int64_t length) override {
    if (length < 0) return m_host.Progress(position, length);
    return m_host.Progress(length * m_pass + position, length * m_passes);
  }
  void ReportEncoding(Encoding encoding, bool detected) override {
    if (m_pass == 0) m_host.ReportEncoding(encoding, detected);
  }
  void Warn(const Message& message) override { m_host.Warn(message); }

 private:
  SplitHost& m_host;
  std::int64_t m_pass;
  std::int64_t m_passes;
};

}  // namespace sekato::engine

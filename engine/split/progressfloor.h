#pragma once

#include <algorithm>
#include <cstdint>

#include "sekato/splithost.h"

namespace sekato::engine {

/// A run's host that never lets its progress go back below a position once told: a run
/// that began writing its pieces one way and goes on another, from the start of the book,
/// keeps the bar where it stood until the new way has passed it.
class ProgressFloor final : public SplitHost {
 public:
  explicit ProgressFloor(SplitHost& host) : m_host(host) {}

  /// From now on progress shows `position` at least.
  void Raise(std::int64_t position) { m_nFloor = std::max(m_nFloor, position); }

  bool Progress(std::int64_t position, std::int64_t length) override {
    return m_host.Progress(std::max(position, m_nFloor), length);
  }
  void ReportEncoding(Encoding encoding, bool detected) override {
    m_host.ReportEncoding(encoding, detected);
  }
  void Warn(const Message& message) override { m_host.Warn(message); }

 private:
  SplitHost& m_host;
  std::int64_t m_nFloor = 0;
};

}  // namespace sekato::engine

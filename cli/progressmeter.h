#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

namespace sekato::cli {

/// A one-line progress bar on a terminal: percentage, speed in MB/s and time left.
///
/// It is told the position after every line, so it looks at the clock only every few
/// hundred kilobytes and redraws at most ten times a second.
class ProgressMeter final {
 public:
  explicit ProgressMeter(std::FILE* out);

  void SetRange(std::int64_t total);
  void Update(std::int64_t position) {
    if (position - m_nLastChecked >= m_nCheckStep) Check(position);
  }
  /// Clears the bar's line, so that the next message stands on a clean line.
  void Finish();

  /// The bar's text for `position` of `total` after `seconds` (no terminal codes):
  /// "[#####...............]  25%   50.0 MB/s  00:03 left".
  static std::string Line(std::int64_t position, std::int64_t total, double seconds);

 private:
  void Check(std::int64_t position);

  std::FILE* m_out;
  std::int64_t m_nTotal = 0;
  std::int64_t m_nLastChecked = 0;
  std::int64_t m_nCheckStep = 256 * 1024;
  std::chrono::steady_clock::time_point m_start;
  std::chrono::steady_clock::time_point m_lastDrawn;
  bool m_bDrawn = false;
};

}  // namespace sekato::cli

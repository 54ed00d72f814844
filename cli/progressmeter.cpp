#include "progressmeter.h"

#include <algorithm>
#include <cmath>

namespace sekato::cli {

namespace {
constexpr auto kRedrawEvery = std::chrono::milliseconds(100);
constexpr int kBarWidth = 20;
}  // namespace

ProgressMeter::ProgressMeter(std::FILE* out) : m_out(out) {}

void ProgressMeter::SetRange(std::int64_t total) {
  m_nTotal = total;
  m_nLastChecked = 0;
  m_start = std::chrono::steady_clock::now();
  m_lastDrawn = m_start;
}

std::string ProgressMeter::Line(std::int64_t position, std::int64_t total, double seconds) {
  const double fraction =
      total > 0 ? std::clamp(static_cast<double>(position) / static_cast<double>(total), 0.0, 1.0)
                : 1.0;
  const int filled = static_cast<int>(fraction * kBarWidth);
  std::string bar = "[" + std::string(static_cast<std::size_t>(filled), '#') +
                    std::string(static_cast<std::size_t>(kBarWidth - filled), '.') + "]";
  const double mbPerSecond =
      seconds > 0 ? static_cast<double>(position) / (1024.0 * 1024.0) / seconds : 0.0;
  char text[128];
  if (mbPerSecond > 0 && position > 0) {
    const double left =
        seconds * (static_cast<double>(total - position) / static_cast<double>(position));
    const long whole = std::max(0L, std::lround(left));
    std::snprintf(text, sizeof text, " %3d%%  %6.1f MB/s  %02ld:%02ld left",
                  static_cast<int>(fraction * 100), mbPerSecond, whole / 60, whole % 60);
  } else {
    std::snprintf(text, sizeof text, " %3d%%", static_cast<int>(fraction * 100));
  }
  return bar + text;
}

void ProgressMeter::Check(std::int64_t position) {
  m_nLastChecked = position;
  const auto now = std::chrono::steady_clock::now();
  if (now - m_lastDrawn < kRedrawEvery) return;
  m_lastDrawn = now;
  const double seconds = std::chrono::duration<double>(now - m_start).count();
  std::fprintf(m_out, "\r%s\033[K", Line(position, m_nTotal, seconds).c_str());
  std::fflush(m_out);
  m_bDrawn = true;
}

void ProgressMeter::Finish() {
  if (!m_bDrawn) return;
  std::fprintf(m_out, "\r\033[K");
  std::fflush(m_out);
  m_bDrawn = false;
}

}  // namespace sekato::cli

#include "trailingblanks.h"

#include <algorithm>
#include <string>

namespace sekato::engine {

std::size_t TrailingBlanks::Add(std::string_view blanks) {
  std::size_t taken = 0;
  for (const char c : blanks) {
    if (!m_runs.empty() && m_runs.back().first == c) {
      ++m_runs.back().second;
    } else if (m_runs.size() < kMaxRuns) {
      m_runs.emplace_back(c, 1);
    } else {
      break;
    }
    ++taken;
  }
  return taken;
}

bool TrailingBlanks::Drain(const std::function<bool(std::string_view)>& write) {
  constexpr std::uint64_t kChunk = 4096;
  std::string chunk;
  for (const auto& [byte, count] : m_runs) {
    for (std::uint64_t left = count; left > 0;) {
      const std::uint64_t n = std::min(left, kChunk);
      chunk.assign(static_cast<std::size_t>(n), byte);
      if (!write(chunk)) {
        m_runs.clear();
        return false;
      }
      left -= n;
    }
  }
  m_runs.clear();
  return true;
}

}  // namespace sekato::engine

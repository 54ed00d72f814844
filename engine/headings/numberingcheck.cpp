#include "numberingcheck.h"

#include <algorithm>

#include "numeralreader.h"

namespace sekato::engine {

namespace {
// The array covers numbers below this, plus a few per number seen: a book of a few
// thousand chapters fits whole, a stray number in the millions goes to the map.
constexpr std::int64_t kDenseBase = 4096;
constexpr std::int64_t kDensePerNumber = 4;
// In the array: a number not seen. Lines may be 0 (a split checks numbers without lines).
constexpr std::int64_t kUnseen = -1;
}  // namespace

bool NumberingCheck::Seen(std::int64_t number, std::int64_t& line) const {
  if (number >= 0 && number < static_cast<std::int64_t>(m_dense.size())) {
    line = m_dense[static_cast<std::size_t>(number)];
    if (line != kUnseen) return true;
  }
  if (m_sparse.empty()) return false;
  const auto found = m_sparse.find(number);
  if (found == m_sparse.end()) return false;
  line = found->second;
  return true;
}

void NumberingCheck::Track(std::int64_t number, std::int64_t line) {
  // Past this many numbers a book of millions of "headings" is not a numbered book; the
  // bound keeps a run's memory flat whatever the source holds.
  if (m_nTracked >= kMaxTracked) return;
  ++m_nTracked;
  const std::int64_t reach = kDenseBase + kDensePerNumber * static_cast<std::int64_t>(m_nTracked);
  if (number < 0 || number >= reach) {
    m_sparse.emplace(number, line);
    return;
  }
  const auto index = static_cast<std::size_t>(number);
  if (index >= m_dense.size()) {
    m_dense.resize(
        std::min(std::max(index + 1, 2 * m_dense.size()), static_cast<std::size_t>(reach)),
        kUnseen);
  }
  m_dense[index] = line;
}

void NumberingCheck::Add(std::int64_t number, std::int64_t line, std::int64_t heading) {
  if (number == NumeralReader::kUnreadable) return;
  const std::int64_t lastLine = m_nLastLine;
  m_nLastLine = line;
  const bool room = m_issues.size() < kMaxIssues;
  // Below the highest number so far it may have been seen; above it, never.
  std::int64_t firstLine = 0;
  if (number <= m_nHighest && Seen(number, firstLine)) {
    const auto repeat = m_repeats.find(number);
    if (repeat != m_repeats.end()) {
      m_issues[repeat->second].lines.push_back(line);
    } else if (room) {
      m_repeats.emplace(number, m_issues.size());
      m_issues.push_back(
          {NumberingIssue::Kind::Repeat, number, number, {firstLine, line}, heading});
    }
    return;
  }
  Track(number, line);
  if (m_nHighest >= 0 && number > m_nHighest + 1 && room) {
    m_issues.push_back(
        {NumberingIssue::Kind::Gap, m_nHighest + 1, number - 1, {lastLine, line}, heading});
  } else if (m_nHighest >= 0 && number < m_nHighest && room) {
    m_issues.push_back({NumberingIssue::Kind::OutOfOrder, number, m_nHighest, {line}, heading});
  }
  if (number > m_nHighest) m_nHighest = number;
}

std::vector<NumberingIssue> NumberingCheck::Issues() const {
  std::vector<NumberingIssue> out;
  for (const auto& issue : m_issues) {
    if (issue.kind == NumberingIssue::Kind::Gap && issue.last - issue.number < 1000) {
      bool filled = true;
      for (std::int64_t n = issue.number; n <= issue.last && filled; ++n) {
        std::int64_t line = 0;
        filled = Seen(n, line);
      }
      if (filled) continue;
    }
    out.push_back(issue);
  }
  return out;
}

}  // namespace sekato::engine

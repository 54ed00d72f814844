#include "numberingcheck.h"

#include "numeralreader.h"

namespace sekato::engine {

namespace {
constexpr std::size_t kNone = static_cast<std::size_t>(-1);
}

void NumberingCheck::Add(std::int64_t number, std::int64_t line, std::int64_t heading) {
  if (number == NumeralReader::kUnreadable) return;
  const std::int64_t lastLine = m_nLastLine;
  m_nLastLine = line;
  const bool room = m_issues.size() < kMaxIssues;
  const auto seen = m_seen.find(number);
  if (seen != m_seen.end()) {
    Seen& first = seen->second;
    if (first.repeat != kNone) {
      m_issues[first.repeat].lines.push_back(line);
    } else if (room) {
      first.repeat = m_issues.size();
      m_issues.push_back(
          {NumberingIssue::Kind::Repeat, number, number, {first.line, line}, heading});
    }
    return;
  }
  // Past this many numbers a book of millions of "headings" is not a numbered book; the
  // bound keeps a run's memory flat whatever the source holds.
  if (m_seen.size() < kMaxTracked) m_seen.emplace(number, Seen{line, kNone});
  if (m_nHighest >= 0 && number > m_nHighest + 1 && room) {
    m_issues.push_back({NumberingIssue::Kind::Gap, m_nHighest + 1, number - 1,
                        {lastLine, line}, heading});
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
        filled = m_seen.count(n) > 0;
      }
      if (filled) continue;
    }
    out.push_back(issue);
  }
  return out;
}

}  // namespace sekato::engine

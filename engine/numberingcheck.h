#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "scanresult.h"

namespace sekato::engine {

/// Follows the chapter numbers of the headings in order and notes gaps, repeats and numbers
/// out of order. 1 2 3 3 5 gives: 3 repeated (both lines), 4 missing between the second 3
/// and the 5. 1 2 4 3 5 gives: 3 out of order only (the gap before 4 is filled later).
class NumberingCheck final {
 public:
  /// The next heading: its number (skipped when unreadable), line and index.
  void Add(std::int64_t number, std::int64_t line, std::int64_t heading);

  /// The issues found, in the order of the headings; gaps filled later are dropped.
  std::vector<NumberingIssue> Issues() const;

  static constexpr std::size_t kMaxIssues = 1000;
  static constexpr std::size_t kMaxTracked = 200000;

 private:
  std::vector<NumberingIssue> m_issues;
  struct Seen {
    std::int64_t line;   ///< where the number first stood
    std::size_t repeat;  ///< index of its repeat issue, or npos while it has none
  };
  std::map<std::int64_t, Seen> m_seen;
  std::int64_t m_nHighest = -1;
  std::int64_t m_nLastLine = 0;
};

}  // namespace sekato::engine

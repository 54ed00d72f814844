#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "sekato/scanresult.h"

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
  /// True when `number` has been seen, with the line where it first stood.
  bool Seen(std::int64_t number, std::int64_t& line) const;
  void Track(std::int64_t number, std::int64_t line);

  std::vector<NumberingIssue> m_issues;
  /// First lines by number, for the numbers from 0 up: books number their chapters from 1
  /// on, so an array indexed by number takes a heading in one step, without an allocation.
  /// It covers a number only while that keeps it about as small as a map of the numbers
  /// seen would be; the others go to m_sparse.
  std::vector<std::int64_t> m_dense;
  std::map<std::int64_t, std::int64_t> m_sparse;
  std::size_t m_nTracked = 0;
  std::map<std::int64_t, std::size_t> m_repeats;  ///< number → index of its repeat issue
  std::int64_t m_nHighest = -1;
  std::int64_t m_nLastLine = 0;
};

}  // namespace sekato::engine

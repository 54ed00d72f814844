#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

#include "regexpattern.h"

namespace sekato::engine {

/// Matches one RegexPattern, one subject at a time, on one thread: it owns the match data,
/// the match limits and the JIT stack, made once and used for every subject.
///
/// A pattern that backtracks badly (`^(第+)+章$` against a long run of 第) never hangs the
/// run: the match and depth limits end the attempt, which then counts as no match and is
/// told apart as LimitHit.
class RegexMatcher final {
 public:
  enum class Result {
    Match,
    NoMatch,
    LimitHit,  ///< the match and depth limits ended the attempt: treated as no match
  };

  explicit RegexMatcher(std::shared_ptr<const RegexPattern> pattern);
  ~RegexMatcher();
  RegexMatcher(RegexMatcher&& other) noexcept;
  RegexMatcher& operator=(RegexMatcher&&) = delete;
  RegexMatcher(const RegexMatcher&) = delete;
  RegexMatcher& operator=(const RegexMatcher&) = delete;

  /// Looks for the first match in `subject` at or after byte `from`.
  Result Find(std::string_view subject, std::size_t from = 0);

  /// After a Match: true when group `group` took part, with where it lies in the subject.
  /// Group 0 is the whole match. "第12章" with "第(?<n>\\d+)章": group 1 at 3, 2 bytes.
  bool Group(int group, std::size_t& start, std::size_t& length) const;

  const RegexPattern& Pattern() const { return *m_pattern; }

 private:
  std::shared_ptr<const RegexPattern> m_pattern;
  void* m_matchData = nullptr;
  void* m_context = nullptr;
  void* m_jitStack = nullptr;
};

}  // namespace sekato::engine

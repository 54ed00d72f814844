#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace sekato::engine {

/// A compiled PCRE2 pattern over UTF-8 text: the rules users write and paste for headings
/// (and any later rule over a book's text). Perl syntax with look-behind and look-ahead; UTF
/// mode, but `\s`, `\d`, `\w` keep their ASCII meaning, as the rules shared for reader apps
/// expect, and `.` matches no line end. Text that is not valid UTF-8 is matched where it is
/// valid (a bad byte never matches), never refused. JIT-compiled when the machine allows.
///
/// A pattern is read-only once compiled and shared by the threads that match it, each through
/// its own RegexMatcher. Example: Compile("第(?<n>\\d+)章") gives GroupNumber("n") == 1;
/// Compile("第(") fails with the text "missing closing parenthesis" at offset 4.
class RegexPattern final {
 public:
  /// Why a pattern did not compile: PCRE2's own text and the byte offset in the pattern where
  /// it noticed.
  struct Error {
    std::string text;
    std::size_t offset = 0;
  };

  /// Compiles `pattern`; nothing (and `error` filled in) when it is not a valid pattern.
  static std::shared_ptr<const RegexPattern> Compile(std::string_view pattern, Error& error);

  ~RegexPattern();
  RegexPattern(const RegexPattern&) = delete;
  RegexPattern& operator=(const RegexPattern&) = delete;

  /// The pattern as given.
  const std::string& Source() const { return m_source; }
  /// The number of the group named `name`; -1 when the pattern has none.
  int GroupNumber(const char* name) const;
  /// True when the pattern matches the empty string (so it would match everywhere).
  bool MatchesEmpty() const;
  /// Bytes every match holds, as PCRE2 sees them: 0 when nothing is sure.
  std::size_t MinLength() const;
  /// The longest run of plain characters every match holds, read from the pattern's text
  /// where that is sure (outside groups, classes and escapes, not quantified, with no
  /// alternation at the top and no inline options); empty when none is.
  /// "^第(?<n>\d+)章" → "第" (the first of the equally long); "^(?:第|卷)\d" → "".
  std::string RequiredText() const;

  /// PCRE2's compiled code, for RegexMatcher.
  const void* Code() const { return m_code; }
  bool Jitted() const { return m_bJitted; }

 private:
  RegexPattern() = default;
  std::string m_source;
  void* m_code = nullptr;
  bool m_bJitted = false;
};

}  // namespace sekato::engine

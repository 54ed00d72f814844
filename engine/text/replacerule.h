#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "regexpattern.h"

namespace sekato::engine {

/// One compiled replacement rule over a UTF-8 line: every match of the pattern is replaced
/// (`$1`, `${name}` and `$$` in the replacement stand for groups and a dollar), or deleted
/// when the replacement is empty.
///
/// The literal text every match holds (see RegexPattern::RequiredText) lets a caller pass
/// over a line that cannot match without running the pattern.
/// Example: "(\\d+)章=>第$1章" turns "12章 开端" into "第12章 开端", one replacement.
class ReplaceRule final {
 public:
  /// Compiles `pattern`; nothing, with `error` set, when it is not a valid pattern.
  static std::unique_ptr<ReplaceRule> Compile(std::string_view pattern, std::string replacement,
                                              RegexPattern::Error& error);
  ~ReplaceRule();
  ReplaceRule(const ReplaceRule&) = delete;
  ReplaceRule& operator=(const ReplaceRule&) = delete;

  /// Replaces every match in `line`, the result in `out`: the number of replacements, 0 (and
  /// `out` untouched) when there is none, or -1 with `error` set when the replacement names
  /// a group the pattern does not have.
  std::int64_t Apply(std::string_view line, std::string& out, std::string& error) const;

  /// Text every match holds; empty when nothing is sure.
  const std::string& Literal() const { return m_literal; }
  /// True when a line without the literal cannot match.
  bool Sifts() const { return !m_literal.empty(); }

 private:
  ReplaceRule() = default;
  std::shared_ptr<const RegexPattern> m_pattern;
  std::string m_replacement;
  std::string m_literal;
  void* m_matchData = nullptr;
};

}  // namespace sekato::engine

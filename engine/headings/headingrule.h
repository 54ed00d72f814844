#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "regexmatcher.h"
#include "sekato/message.h"
#include "sekato/textrules.h"

namespace sekato::engine {

class TextConverter;

/// Tells chapter headings from body text by a regular expression the user wrote or pasted.
///
/// A line is tried only when it is within the title limit (measured as for keywords: Chinese
/// characters as GBK's two bytes); it is then matched as UTF-8, converted from the book's
/// encoding when that is another. A line the pattern finds anywhere in it is a heading,
/// unless the exclusion pattern finds it too.
///
/// A group named `n` carries the chapter number, read as a "?" reads it (any of the three
/// numeral series, a spoken short form either way, see NumeralReader): the heading must then
/// carry the next number of the chain. Unlike keywords, one missing or unreadable number
/// does not end the chain: a heading up to kReach numbers further on takes it up again (the
/// numbering report names the gap), while a lower or repeated number is body text. A match
/// where the group takes no part ("(?:楔子|第(?<n>\d+)章)" on 楔子) is a heading without a
/// number and leaves the chain as it is.
///
/// Example, pattern "^第(?<n>\d+)章": 第1章, 第2章, 他看了第1章, 第2章, 第4章 → headings
/// 第1章, 第2章 (the body line and the repeat are body text), 第4章 (3 missing).
class HeadingRule final {
 public:
  /// How far past the expected number a heading may jump and still be taken as the chain's
  /// next one: far enough for the chapters a book loses, near enough that a body line citing
  /// a chapter far ahead ("第九十九章") does not take the chain away.
  static constexpr std::int64_t kReach = 20;

  /// The compiled patterns of a rule: the heading pattern and, if any, the exclusion.
  struct Patterns {
    std::shared_ptr<const RegexPattern> heading;
    std::shared_ptr<const RegexPattern> exclude;
  };

  /// Compiles `pattern` and `exclude` (UTF-8; `exclude` may be empty). Nothing when either
  /// cannot be used, with the refusal in `refusal`: PCRE2's text and where it stopped, or a
  /// pattern that matches the empty string.
  static std::optional<Patterns> Compile(const std::string& pattern, const std::string& exclude,
                                         Message& refusal);

  /// `titleLimit` in Chinese characters; `rules` those of the book's text.
  HeadingRule(const Patterns& patterns, std::int64_t titleLimit, const TextRules& rules);
  ~HeadingRule();
  HeadingRule(HeadingRule&&) noexcept;
  HeadingRule& operator=(HeadingRule&&) = delete;

  /// A volume heading has passed: the next chapter number may start again from 1.
  void StartVolume() { m_bVolume = true; }
  /// The chain of group n starts at `first` rather than 1: a book that begins at chapter 95.
  void StartAt(std::int64_t first) { m_nChain = first > 1 ? first - 1 : 0; }

  /// What matching one line found, before the chain has its say: LookAt fills it, Take
  /// decides by it. IsHeading(line) is LookAt then Take; a list of lines may be looked at
  /// ahead, on other threads each with a rule of its own, and taken in order here.
  struct Look {
    bool match = false;    ///< the pattern found the line and the exclusion did not
    bool grouped = false;  ///< group n took part in the match
    /// Group n's readings (see ReadGroup) when it took part; without group n, `value` is
    /// the first number the match holds.
    std::int64_t value = -1;
    std::int64_t spoken = -1;
    std::string costly;  ///< the line's start, when a pattern gave up on it
  };

  /// True when `line`, in the book's text, is the next heading.
  bool IsHeading(std::string_view line) {
    LookAt(line, m_look);
    return Take(m_look);
  }
  /// Matches `line` into `look`, touching nothing Take keeps: rules made of the same
  /// patterns give the same look.
  void LookAt(std::string_view line, Look& look);
  /// Whether the line `look` was made of is the next heading; the chain moves on when it is.
  bool Take(const Look& look);

  /// The number the last heading carries; -1 when it has none or none can be read.
  std::int64_t LastNumber() const { return m_nLastNumber; }
  /// No line longer than this many bytes is a heading.
  std::int64_t LongestHeading() const;
  /// Bytes every heading holds as its line lies in the source (see
  /// RegexPattern::RequiredText), so a line without them is body text; empty when none are
  /// sure. Only for text whose characters convert one for one: UTF-8, GBK, GB18030.
  const std::string& NeededBytes() const { return m_strNeeded; }
  /// The first line the patterns gave up on (too much backtracking), as UTF-8; empty if none.
  const std::string& FirstCostlyLine() const { return m_strCostly; }

  /// The number a numeral run of UTF-8 text stands for, where `expected` is one reading of it
  /// (so "一百三" gives 130 when 130 is expected, else 103); -1 when it is no number.
  static std::int64_t ReadGroup(std::string_view utf8, std::int64_t expected);
  /// Both readings of a numeral run of UTF-8 text, the last digit as the ones and as spoken
  /// ("一百三": 103 and 130; "一百零三": 103 both), -1 when it is no number: ReadGroup
  /// gives `expected` when either is that, else the first.
  static void ReadGroupBoth(std::string_view utf8, std::int64_t& value, std::int64_t& spoken);

 private:
  /// The line as UTF-8 (in m_strUtf8 when converted); false when it is not text.
  bool ToUtf8(std::string_view line, std::string_view& utf8);
  RegexMatcher::Result Find(RegexMatcher& matcher, std::string_view utf8, Look& look);
  /// The match's number group into `look`.
  void LookAtNumber(std::string_view utf8, Look& look);

  RegexMatcher m_heading;
  std::optional<RegexMatcher> m_exclude;
  int m_nGroup;  ///< the number group, -1 when none
  std::int64_t m_maxBytes;
  const TextRules* m_pRules;
  bool m_bSizeIsMeasure;
  std::unique_ptr<TextConverter> m_converter;  ///< book text to UTF-8, when it is another
  std::string m_strUtf8;
  Look m_look;
  std::string m_strNeeded;
  std::string m_strCostly;
  std::int64_t m_nChain = 0;  ///< the number of the last heading of the chain
  bool m_bVolume = false;     ///< a volume began since the last heading
  std::int64_t m_nLastNumber = -1;
};

}  // namespace sekato::engine

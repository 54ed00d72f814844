#pragma once

#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "headingrule.h"
#include "sekato/numerals.h"
#include "sekato/textrules.h"

namespace sekato::engine {

/// Tells chapter headings from body text by the user's keywords.
///
/// A line is a heading when it is at most 2 × title-limit bytes long (the limit counts
/// Chinese characters of two bytes) and holds every keyword, in the order typed, each at or
/// after the end of the one before. A "?" in a keyword stands for the number of the chapter
/// expected next (heading counter + 1) in the chosen numeral series: with "第?章" and
/// Chinese numerals the first heading must hold 第一章, the second 第二章, and a number
/// missing from the book stops all later matches. The number is a whole run of numeral
/// characters read tolerantly (see NumeralReader): for chapter 101 "第一百零一章" and
/// "第一百一章" both match, while "第一章" never matches inside "第一百章".
///
/// Made from a HeadingRule instead, it tells headings by that rule's regular expression, and
/// the heading counter plays no part (the rule follows its own chain of numbers).
class HeadingMatcher final {
 public:
  static constexpr std::size_t kMaxKeywords = 10;

  /// Cuts normalised keyword text at ASCII spaces (runs of spaces count as one):
  /// "第  章" → {"第", "章"}; "?、" → {"?、"}.
  static std::vector<std::string> CutKeywords(std::string_view normalised);

  /// True when a keyword holds the ASCII "?" (the full-width "？" is an ordinary character).
  static bool HasWildcard(const std::vector<std::string>& keywords);

  /// `series` is the numeral series for "?"; `titleLimit` the heading size in
  /// Chinese characters, measured as GBK would whatever the encoding; `rules` those of the
  /// text the keywords and lines are in (numerals are written in it too).
  HeadingMatcher(std::vector<std::string> keywords, Numerals::Series series,
                 std::int64_t titleLimit, const TextRules& rules = TextRules::For(Encoding::Gbk));
  /// Headings by a regular expression.
  explicit HeadingMatcher(HeadingRule rule);

  /// The rule when headings are told by one, else null: for the warnings it gathers.
  const HeadingRule* Rule() const { return m_rule.get(); }
  HeadingRule* Rule() { return m_rule.get(); }

  /// `line`, text in `text`, as GB18030: the text headings are matched in when the book is in
  /// neither GBK nor GB18030 (numerals and keywords read there as in GBK). False when `line`
  /// is no text in `text`. UTF-8 "第一章" → "\xB5\xDA\xD2\xBB\xD5\xC2".
  static bool ToMatchText(std::string_view line, Encoding text, std::string& out);

  /// True when `line` is the heading of chapter `headingCounter` + 1. Each keyword is
  /// searched from the end of the previous match: after a "?" keyword, past the whole
  /// number it matched (so "?" then "一" never finds the 一 inside 十一).
  bool IsHeading(std::string_view line, std::int64_t headingCounter);
  /// With a rule: IsHeading for a line its rule's twin looked at ahead (HeadingRule::Take).
  bool Take(const HeadingRule::Look& look);

  /// The chapter number the last line IsHeading accepted carries, for reports: the expected
  /// number with "?"; otherwise the first number (of any series) right after a keyword, or
  /// failing that the first in the line; NumeralReader::kUnreadable when it has none.
  /// "第十二章 回忆" with keywords 第 章 → 12.
  std::int64_t LastNumber() const { return m_nLastNumber; }

  /// Bytes every heading holds as its line lies in the source: the longest piece of a
  /// keyword between "?"s, so a line without them is body text. Empty when the text is
  /// matched converted from an encoding other than UTF-8 (there no such bytes are sure).
  /// "第?章" → "第".
  const std::string& NeededBytes() const { return m_rule ? m_rule->NeededBytes() : m_strNeeded; }

  /// No line longer than this many bytes is a heading.
  std::int64_t LongestHeading() const {
    constexpr std::int64_t kMost = std::numeric_limits<std::int64_t>::max();
    if (m_rule) return m_rule->LongestHeading();
    if (m_bSizeIsMeasure) return m_maxBytes;
    return m_maxBytes > (kMost - 1) / 2 ? kMost : 2 * m_maxBytes + 1;
  }

  /// Where the first keyword matched in the last line IsHeading accepted (in the line as
  /// GB18030 when the text is neither GBK nor GB18030).
  std::size_t LastStart() const { return m_nLastStart; }

 private:
  /// A keyword cut at its "?"s: "第?章" → {"第", "章"}; without "?" one part.
  using Parts = std::vector<std::string>;

  /// Where `parts` match at or after `from` with every "?" read as `number`; npos if not.
  std::size_t FindWildcard(std::string_view line, const Parts& parts, std::size_t from,
                           std::int64_t number, std::size_t& end) const;
  /// True when `parts` match exactly at `pos`, which follows a character that is no numeral
  /// of the series when the keyword starts with "?"; `end` is the end of the match.
  bool MatchAt(std::string_view line, const Parts& parts, std::size_t pos, std::int64_t number,
               std::size_t& end) const;
  /// The number a heading carries when no "?" gives it; `ends` are the keywords' match ends.
  static std::int64_t ReadNumber(std::string_view line, const std::vector<std::size_t>& ends);

  std::vector<std::string> m_keywords;
  std::vector<Parts> m_parts;
  Numerals::Series m_series;
  std::int64_t m_maxBytes;
  bool m_bWildcard;
  const TextRules* m_pRules;
  bool m_bSizeIsMeasure;  ///< one- and two-byte text: bytes measure a title exactly
  /// Text other than GBK and GB18030 is matched as GB18030, where numerals read as in GBK:
  /// the keywords once, each line short enough to be a heading as it comes.
  bool m_bConverts = false;
  bool m_bUnconvertible = false;  ///< a keyword cannot be matched at all
  /// UTF-8 text: a byte run each keyword must hold (its text up to a "?"), looked for in the
  /// line as it stands before any line is converted; most lines hold none of them.
  std::vector<std::string> m_needles;
  std::string m_strNeeded;
  std::string m_strLine;  ///< the line being tested, as GB18030
  std::int64_t m_nLastNumber = -1;
  std::size_t m_nLastStart = 0;
  std::vector<std::size_t> m_ends;  ///< match ends of the line being tested
  std::unique_ptr<HeadingRule> m_rule;
};

}  // namespace sekato::engine

#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "textrules.h"

namespace sekato::engine {

/// Tells chapter headings from body text by the user's keywords.
///
/// A line is a heading when it is at most 2 × title-limit bytes long (the limit counts
/// Chinese characters of two bytes) and holds every keyword, in the order typed, each at or
/// after the end of the one before. A "?" in a keyword stands for the number of the chapter
/// expected next (heading counter + 1) in the chosen numeral series: with "第?章" and
/// Chinese numerals the first heading must hold 第一章, the second 第二章, and a number
/// missing from the book stops all later matches.
class HeadingMatcher final {
 public:
  static constexpr std::size_t kMaxKeywords = 10;

  /// Cuts normalised keyword text at ASCII spaces (runs of spaces count as one):
  /// "第  章" → {"第", "章"}; "?、" → {"?、"}.
  static std::vector<std::string> CutKeywords(std::string_view normalised);

  /// True when a keyword holds the ASCII "?" (the full-width "？" is an ordinary character).
  static bool HasWildcard(const std::vector<std::string>& keywords);

  /// `series` is the numeral series for "?" (0, 1, 2); `titleLimit` the heading size in
  /// Chinese characters, measured as GBK would whatever the encoding; `rules` those of the
  /// text the keywords and lines are in (numerals are written in it too).
  HeadingMatcher(std::vector<std::string> keywords, int series, std::int64_t titleLimit,
                 const TextRules& rules = TextRules::For(Encoding::Gbk));

  /// True when `line` is the heading of chapter `headingCounter` + 1. Each keyword is
  /// searched from the end of the previous match: after a "?" keyword, past the whole
  /// number it matched (so "?" then "一" never finds the 一 inside 十一).
  bool IsHeading(std::string_view line, std::int64_t headingCounter);

 private:
  void Expand(std::int64_t number);

  std::vector<std::string> m_keywords;
  std::vector<std::string> m_expanded;  ///< keywords with "?" replaced for m_expandedFor
  int m_series;
  std::int64_t m_maxBytes;
  bool m_bWildcard;
  std::int64_t m_expandedFor = -1;
  const TextRules* m_pRules;
  bool m_bSizeIsMeasure;   ///< one- and two-byte text: bytes measure a title exactly
  bool m_bUnwritable = false;  ///< the numeral cannot be written in the text's encoding
};

}  // namespace sekato::engine

#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sekato/encoding.h"
#include "shortlinescan.h"

namespace sekato::engine {

/// Tells, from a line's bytes in the book's own encoding, whether it can be a heading
/// candidate at all, so that automatic detection converts and parses only the few lines
/// that can (see HeadingCandidate).
///
/// A candidate is short, and its first character after white space (ASCII, or the
/// full-width space of the encoding) is one a heading form starts with: 第, a digit of any
/// width, a Chinese numeral, C/S/P/E (Chapter, Section, Part, Episode), 卷, an opening
/// bracket or = * ☆ ★, or the first character of a special heading (序 楔 引 前 终 尾 后 番
/// 完 附). A line the sieve lets through may still be no candidate; a line it stops never is.
class CandidateSieve final {
 public:
  /// `text`: GBK, GB18030, Big5 or UTF-8. `maxChars`: the longest heading, in characters.
  CandidateSieve(Encoding text, std::int64_t maxChars);

  enum class Verdict {
    Blank,     ///< only white space: neither body text nor a heading
    Body,      ///< cannot be a candidate
    Candidate  ///< may be one: convert it and see (HeadingDetector::Offer)
  };
  /// What `line` (without its line break) can be.
  Verdict Look(std::string_view line) const;
  bool MayHold(std::string_view line) const { return Look(line) == Verdict::Candidate; }
  /// How the lines Look may call a candidate open, for a scan to turn away the rest before
  /// they cost a call: every line it turns away Look calls Body or Blank.
  ShortLineScan::Openers Openers() const;

 private:
  std::string m_fullWidthSpace;
  std::size_t m_maxBytes;
  /// The starting characters in the text's encoding, by their first byte.
  std::array<std::vector<std::string>, 256> m_starts;
};

}  // namespace sekato::engine

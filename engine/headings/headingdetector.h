#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "headingcandidate.h"
#include "sekato/headingdetection.h"

namespace sekato::engine {

/// Finds a book's chapter headings without being told how they look.
///
/// The book's lines are offered in order (UTF-8; a line too long to be a heading may be
/// offered as body without its text). Lines in a heading form are kept as candidates (see
/// HeadingCandidate); then Decide() groups them by form and, for each form, follows the
/// longest chain of numbers going up by one (NumberChain). The chapter form is the one whose
/// chain explains the most lines; its lines that break the chain are body text.
///
/// Around that:
///  - a volume form (第N卷/部/篇/册, 卷N) whose headings stand between chapters gives the
///    volumes, and chapter numbers may start again after each;
///  - special headings (楔子, 后记, 番外…) count as chapters before the first chapter,
///    after the last, and between volumes;
///  - a contents block in front (a run of heading lines with no body text between, often
///    under 目录) belongs to the preface: the chapters start where body text follows a
///    heading, so the contents do not use up the chain.
///
/// Memory grows with the candidates only, and stops growing at kMaxCandidates.
class HeadingDetector final {
 public:
  static constexpr std::int64_t kMinTitleChars = 40;
  static constexpr std::size_t kMaxCandidates = 200000;

  /// `titleMax`: headings up to this many characters are looked at (at least 40).
  explicit HeadingDetector(std::int64_t titleMax = kMinTitleChars);

  /// The next line, `number` 1-based.
  void Offer(std::int64_t number, std::string_view utf8);
  /// The next line is body text (too long to be a heading, or not readable).
  void OfferBody(std::int64_t number);

  /// Takes the lines `later` was offered as if they had been offered here next, their
  /// numbers `shift` on: a book looked at in slices, each by a detector of its own, is then
  /// decided as if one had seen it all.
  ///
  /// Example: a detector offered lines 1–500 of a book, given Append(b, 500) for a detector
  /// `b` offered lines 1–300 of what follows, holds what one offered lines 1–800 would.
  void Append(const HeadingDetector& later, std::int64_t shift);

  HeadingDetection Decide() const;

  /// Lines up to this many bytes can be candidates; longer ones need not be converted.
  std::int64_t LongestCandidateBytes() const { return 4 * m_titleMax + 64; }

 private:
  struct Candidate {
    std::int64_t line = 0;
    std::size_t form = 0;  ///< index into m_forms
    std::int64_t number = -1;
    std::int64_t spoken = -1;  ///< the number read as spoken, when that differs
    std::int64_t chars = 0;
    bool bodyBefore = false;  ///< body text stands between this line and the candidate before
  };
  struct FormInfo {
    HeadingCandidate sample;           ///< the first line of the form
    std::string key;                   ///< its HeadingCandidate::FormKey
    std::vector<std::size_t> members;  ///< indexes into m_candidates
  };
  friend class HeadingChoice;

  std::int64_t m_titleMax;
  std::vector<Candidate> m_candidates;
  std::vector<FormInfo> m_forms;
  bool m_bodyPending = false;
  bool m_bodyAtEnd = false;
};

}  // namespace sekato::engine

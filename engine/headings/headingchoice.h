#pragma once

#include <cstddef>
#include <vector>

#include "headingdetector.h"

namespace sekato::engine {

/// The choice HeadingDetector::Decide makes over the candidates it collected: the contents
/// block, each form's chain, the volume form, the chapter form, the special headings.
class HeadingChoice final {
 public:
  using Candidate = HeadingDetector::Candidate;
  using FormInfo = HeadingDetector::FormInfo;

  HeadingChoice(const std::vector<Candidate>& candidates, const std::vector<FormInfo>& forms,
                bool bodyAtEnd);

  HeadingDetection Decide();

 private:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  /// A contents block holds at least this many heading lines in a row.
  static constexpr std::size_t kMinContents = 3;
  /// A chain step may skip this many numbers less one.
  static constexpr std::int64_t kMaxGap = 10;

  bool BodyAfter(std::size_t i) const;
  bool InContents(std::size_t i) const { return i >= m_contentsBegin && i < m_contentsEnd; }
  bool IsSpecial(std::size_t form) const;
  /// Finds the contents block in front: the first run of kMinContents or more candidates
  /// without body text between them, up to the heading that body text follows (and the
  /// volume headings right before it, which head the text, not the contents).
  void FindContents();
  /// The chain of `form`'s lines (candidate indexes), numbers starting again after each
  /// of `volumes` (candidate indexes, ascending) when given.
  std::vector<std::size_t> Chain(std::size_t form, const std::vector<std::size_t>* volumes) const;
  /// The volume form for chapters of `form`, kNone when none fits, and the chain it gives.
  std::size_t VolumeFor(std::size_t form, std::vector<std::size_t>& chain) const;
  /// Special headings that stand before the first chapter, after the last, or between
  /// volumes.
  std::vector<std::size_t> Specials(const std::vector<std::size_t>& chapters,
                                    const std::vector<std::size_t>& volumes) const;
  /// The number the chain of `chapters` starts at (1 at least).
  std::int64_t FirstNumber(const std::vector<std::size_t>& chapters) const;
  HeadingDetection::Form Describe(std::size_t form, std::int64_t lines, bool specials) const;

  const std::vector<Candidate>& m_candidates;
  const std::vector<FormInfo>& m_forms;
  bool m_bodyAtEnd;
  std::size_t m_contentsBegin = 0;
  std::size_t m_contentsEnd = 0;
  std::vector<std::vector<std::size_t>> m_plain;  ///< each form's chain without volumes
};

}  // namespace sekato::engine

#pragma once

#include <cstddef>
#include <string_view>

#include "sekato/encoding.h"

namespace sekato::engine {

class TextRules;

/// Clean-up of a run of whole lines (see RunFinder), in one pass over its bytes: full-width
/// spaces become two ASCII spaces and empty lines go, the run closing up where they were.
///
/// A run's lines need no trimming (a line that would be shortened ends a run), so these are
/// the only changes clean-up makes to it.
class RunCleaner final {
 public:
  /// `rules` tell the run's text (GBK, GB18030 or UTF-8). In GBK and GB18030 a full-width
  /// space is two bytes, widened where it lies once the characters before it on its line
  /// show that it is one (0xA1 is also a trail byte); in UTF-8 it is three bytes, found by its
  /// bytes alone, and the rest of its stretch closes up behind it.
  explicit RunCleaner(const TextRules& rules);

  /// Whether runs of text in `text` can be cleaned where they lie: GBK, GB18030 and UTF-8.
  static bool Cleans(Encoding text) {
    return text == Encoding::Gbk || text == Encoding::Gb18030 || text == Encoding::Utf8;
  }

  /// Cleans `run` (lines joined by CR LF, the last one's left off; every line feed in it has
  /// its CR) in place and closes it up: its lines but the empty ones, joined by CR LF as
  /// before, from `run` on; returns their length (0 when every line is empty). So
  /// "a\r\n\r\nb" becomes "a\r\nb" (4), "\r\na\r\n" becomes "a" (1), "\r\n" gives 0.
  /// Written as one run, this is the bytes the lines would give one by one.
  std::size_t Clean(char* run, std::size_t size) const;

 private:
  inline void WidenFrom(char* run, std::size_t size, std::size_t at, std::size_t& boundary) const;
  /// The last character boundary at or before `at`, walking from `boundary` (one before it)
  /// or from the start of the line of `at`.
  std::size_t WalkTo(const char* run, std::size_t size, std::size_t at, std::size_t boundary) const;

  const TextRules& m_rules;
  std::string_view m_space;  ///< the full-width space's bytes
  bool m_bShrinks = false;   ///< three bytes widened to two: the stretch closes up
};

}  // namespace sekato::engine

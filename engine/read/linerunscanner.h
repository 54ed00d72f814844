#pragma once

#include <cstddef>

namespace sekato::engine {

/// Finds, many bytes at a time, where a run of source lines that can be written as they lie
/// must end: at a line feed with no CR right before it (the piece would get a CR LF the
/// source does not have there), where two given bytes stand side by side (a word that could
/// make its line a heading), and, for clean-up, at the line feed of a line clean-up would
/// shorten (ending in white space or in the full-width space; empty lines may stay in a run,
/// to be dropped as it is written).
///
/// The scan uses the widest vectors CpuFeatures::Level() allows (AVX2 where the machine has
/// it).
class LineRunScanner final {
 public:
  static constexpr std::size_t npos = static_cast<std::size_t>(-1);

  /// Two bytes to look for side by side.
  struct Pair {
    unsigned char first = 0;
    unsigned char second = 0;
  };

  /// What ends the run, and where.
  struct Stop {
    std::size_t at = npos;  ///< npos: nothing up to the end
    bool pair = false;      ///< the pair begins at `at`; otherwise the line feed at `at` ends it
  };

  /// The first stop p in [from, end): a line feed with no CR before it; the first byte of
  /// `pair` (null: none) standing whole before `end`; with `tail` (null: no clean-up), the
  /// line feed of a line that is not empty and ends in ASCII white space or in the two bytes
  /// of `tail` (before its CR). `begin` (at or before `from`) starts a line: no byte before it
  /// is read. In "a\r\nb\nc" (begin and from 0) the line feed at 4 ends the run; with the
  /// pair "\r\n", the pair at 1 does.
  static Stop FirstStop(const char* data, std::size_t begin, std::size_t from, std::size_t end,
                        const Pair* pair, const Pair* tail);

  /// The same with 16-byte vectors only, as on a machine without AVX2; tests hold the two to
  /// the same answers.
  static Stop FirstStopPortable(const char* data, std::size_t begin, std::size_t from,
                                std::size_t end, const Pair* pair, const Pair* tail);
};

}  // namespace sekato::engine

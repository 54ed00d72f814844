#pragma once

#include <cstddef>

namespace sekato::engine {

/// Finds, many bytes at a time, where a run of source lines that can be written as they lie
/// must end: at a line feed with no CR right before it (the piece would get a CR LF the
/// source does not have there), or where two given bytes stand side by side (a word that
/// could make its line a heading).
///
/// The scan uses the processor's widest vectors it knows (AVX2 where the machine has it).
class LineRunScanner final {
 public:
  static constexpr std::size_t npos = static_cast<std::size_t>(-1);

  /// Two bytes to look for side by side.
  struct Pair {
    unsigned char first = 0;
    unsigned char second = 0;
  };

  /// The first position p in [from, end) that ends a run: a line feed whose byte before is
  /// no CR, or the first byte of `pair` (null: none) standing whole before `end`; npos when
  /// there is none. No byte before `from` is read: `crBefore` says whether one is a CR. In
  /// "a\r\nb\nc" (from 0) the line feed at 4 ends the run; with the pair "\r\n", 1 does.
  static std::size_t FirstStop(const char* data, std::size_t from, std::size_t end,
                               bool crBefore, const Pair* pair);

  /// The same with 16-byte vectors only, as on a machine without AVX2; tests hold the two to
  /// the same answers.
  static std::size_t FirstStopPortable(const char* data, std::size_t from, std::size_t end,
                                       bool crBefore, const Pair* pair);
};

}  // namespace sekato::engine

#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace sekato::engine {

/// Finds, many bytes at a time, what clean-up changes in a run of whole lines (see
/// RunFinder): where a full-width space stands and where an empty line does, so that one pass
/// over the run's bytes serves both the widening and the dropping of empty lines.
///
/// The bytes are looked at in blocks of 64 positions; only blocks that hold a mark are told.
/// The scan uses the widest vectors CpuFeatures::Level() allows (AVX2 where the machine has
/// it).
class CleanUpScanner final {
 public:
  /// The marks of the 64 positions from `at`: bit k stands for position at + k.
  struct Block {
    std::size_t at = 0;
    /// The last byte of `space` is here: the space may begin its length - 1 before (in GBK
    /// it may yet be the end of one character and the start of the next).
    std::uint64_t spaces = 0;
    /// The line feed of an empty line is here: two bytes after another line feed, or at 1
    /// (the bytes start a line, and every line feed of a run has its CR before it).
    std::uint64_t emptyLines = 0;
  };

  /// Looks at the positions [from, end) of `data` in blocks of 64 from `from` and puts into
  /// `blocks` those that hold a mark, in order, at most `room` (at least one); returns how
  /// many, with `next` where to go on (`end` once every position is looked at). data[0]
  /// starts a line: no byte before it is read. `space` has 2 or 3 bytes whose last two are
  /// the same (A1 A1, E3 80 80); any other marks no spaces. Example: in "\r\nxx\r\n\r\n"
  /// (from 0, to 8) with the space "xx", one block at 0 with the space bit 3 and the
  /// empty-line bits 1 and 7.
  static std::size_t Collect(const char* data, std::size_t from, std::size_t end,
                             std::string_view space, Block* blocks, std::size_t room,
                             std::size_t& next);

  /// The same with 16-byte vectors only, as on a machine without AVX2; tests hold the two to
  /// the same answers.
  static std::size_t CollectPortable(const char* data, std::size_t from, std::size_t end,
                                     std::string_view space, Block* blocks, std::size_t room,
                                     std::size_t& next);
};

}  // namespace sekato::engine

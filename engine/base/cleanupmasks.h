#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace sekato::engine {

/// Where clean-up has work in a run of lines, found for the whole run in one pass many bytes
/// at a time, so that the places can be visited in order without a search each.
///
/// Two bitmaps, bit p of a run being bit p % 64 of word p / 64: `pairs` where a given pair
/// of bytes begins (in GBK the full-width space "\xA1\xA1", which may straddle two
/// characters), `feeds` where a line feed has an empty line after it ("\n\r\n"). For
/// "a\n\r\n\xA1\xA1" bit 1 of feeds and bit 4 of pairs are set.
class CleanupMasks final {
 public:
  static constexpr std::size_t npos = static_cast<std::size_t>(-1);

  /// Words needed for a run of `size` bytes.
  static constexpr std::size_t Words(std::size_t size) { return (size + 63) / 64; }

  /// Fills Words(size) words of each bitmap for `data`; bits past the run stay clear.
  static void Mark(const char* data, std::size_t size, unsigned char first, unsigned char second,
                   std::uint64_t* pairs, std::uint64_t* feeds);
  /// The same with 16-byte vectors only, and byte by byte; tests hold all to the same bits.
  static void MarkPortable(const char* data, std::size_t size, unsigned char first,
                           unsigned char second, std::uint64_t* pairs, std::uint64_t* feeds);
  static void MarkBytes(const char* data, std::size_t size, unsigned char first,
                        unsigned char second, std::uint64_t* pairs, std::uint64_t* feeds);

  /// The first set bit at or after `from`, or npos.
  static std::size_t Next(std::span<const std::uint64_t> words, std::size_t from) {
    std::size_t word = from / 64;
    if (word >= words.size()) return npos;
    std::uint64_t bits = words[word] & (~std::uint64_t{0} << (from % 64));
    while (bits == 0) {
      if (++word == words.size()) return npos;
      bits = words[word];
    }
    return word * 64 + static_cast<std::size_t>(__builtin_ctzll(bits));
  }
};

}  // namespace sekato::engine

#pragma once

#include <cstddef>
#include <cstdint>

namespace sekato::engine {

/// Finds two given bytes side by side, many positions at a time.
///
/// Searching GBK text byte by byte stops too often: the first byte of a needle (0xA1 of
/// "　", say) is common as a trail byte. Looking for the pair at once skips ahead instead.
/// The scan uses the widest vectors CpuFeatures::Level() allows (AVX2 where the machine has
/// it).
class PairScanner final {
 public:
  static constexpr std::size_t npos = static_cast<std::size_t>(-1);

  /// The first position p in [from, last] with data[p] == first and data[p + 1] == second,
  /// or npos. `last + 1` must lie inside the data. In "xA1A1" (bytes 78 A1 A1) the pair
  /// A1 A1 is at 1.
  static std::size_t Find(const unsigned char* data, std::size_t from, std::size_t last,
                          unsigned char first, unsigned char second);

  /// The same with 16-byte vectors only, as on a machine without AVX2; tests hold the two to
  /// the same answers.
  static std::size_t FindPortable(const unsigned char* data, std::size_t from, std::size_t last,
                                  unsigned char first, unsigned char second);

  /// Two bytes to look for side by side.
  struct Pair {
    unsigned char first = 0;
    unsigned char second = 0;
  };
  static constexpr std::size_t kMaxPairs = 4;

  /// The first position p in [from, end - 1) where one of `pairs` (1 to kMaxPairs of them)
  /// stands, or npos; on the way adds to `lineFeeds` the line feeds in [from, p), or in
  /// [from, end) when there is no such p. So one pass over a block both finds the few lines
  /// worth a closer look and counts the lines before them. data[end] is never read. In
  /// "a\nxy\n" (from 0, end 5) with the pair "xy": 2, and one line feed counted.
  static std::size_t FindAnyCountingLines(const unsigned char* data, std::size_t from,
                                          std::size_t end, const Pair* pairs, std::size_t count,
                                          std::int64_t& lineFeeds);

  /// The same with 16-byte vectors only.
  static std::size_t FindAnyCountingLinesPortable(const unsigned char* data, std::size_t from,
                                                  std::size_t end, const Pair* pairs,
                                                  std::size_t count, std::int64_t& lineFeeds);
};

}  // namespace sekato::engine

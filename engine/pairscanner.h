#pragma once

#include <cstddef>

namespace sekato::engine {

/// Finds two given bytes side by side, many positions at a time.
///
/// Searching GBK text byte by byte stops too often: the first byte of a needle (0xA1 of
/// "　", say) is common as a trail byte. Looking for the pair at once skips ahead instead.
/// The scan uses the processor's widest vectors it knows (AVX2 where the machine has it).
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
  static std::size_t FindPortable(const unsigned char* data, std::size_t from,
                                  std::size_t last, unsigned char first, unsigned char second);
};

}  // namespace sekato::engine

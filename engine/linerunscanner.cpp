#include "linerunscanner.h"

#include <cstdint>
#include <initializer_list>

// x86-64 uses SSE2 (always there) and AVX2 (where the processor has it); other targets look
// at one byte at a time.
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define SEKATO_RUNSCAN_X86 1
#endif

namespace sekato::engine {

namespace {

using Pair = LineRunScanner::Pair;

// Looks at positions [start, end) one by one, as the vector scans do a block at a time: a
// stop is seen at the byte that ends it (a bare line feed, or the second byte of the pair),
// and the pair is told by where it begins.
std::size_t ScanBytes(const unsigned char* data, std::size_t from, std::size_t start,
                      std::size_t end, bool crBefore, const Pair* pair) {
  for (std::size_t i = start; i < end; ++i) {
    if (pair != nullptr && i > from && data[i - 1] == pair->first && data[i] == pair->second) {
      return i - 1;
    }
    if (data[i] == '\n' && !(i > from ? data[i - 1] == '\r' : crBefore)) return i;
  }
  return LineRunScanner::npos;
}

#if defined(SEKATO_RUNSCAN_X86)

// Each block compares the W bytes at `at` with the W bytes one before them, so that a line
// feed meets its CR and the pair's second byte its first in the same lane.

// Where a block's lowest stop is: the pair's start when its second byte is there first.
inline std::size_t StopAt(std::size_t at, unsigned bare, unsigned pairEnds) {
  const auto bit = static_cast<unsigned>(__builtin_ctz(bare | pairEnds));
  return at + bit - ((pairEnds >> bit) & 1u);
}

std::size_t ScanSse2(const unsigned char* data, std::size_t from, std::size_t end,
                     bool crBefore, const Pair* pair) {
  constexpr std::size_t W = 16;
  if (end - from <= W) return ScanBytes(data, from, from, end, crBefore, pair);
  if (const std::size_t first = ScanBytes(data, from, from, from + 1, crBefore, pair);
      first != LineRunScanner::npos) {
    return first;
  }
  const __m128i feed = _mm_set1_epi8('\n');
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i first = _mm_set1_epi8(static_cast<char>(pair ? pair->first : 0));
  const __m128i second = _mm_set1_epi8(static_cast<char>(pair ? pair->second : 0));
  std::size_t pos = from + 1;
  for (; pos + W <= end; pos += W) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + pos));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + pos - 1));
    const auto bare = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_andnot_si128(_mm_cmpeq_epi8(b, cr), _mm_cmpeq_epi8(a, feed))));
    const auto pairEnds =
        pair == nullptr ? 0u
                        : static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(
                              _mm_cmpeq_epi8(b, first), _mm_cmpeq_epi8(a, second))));
    if ((bare | pairEnds) != 0) return StopAt(pos, bare, pairEnds);
  }
  return ScanBytes(data, from, pos, end, crBefore, pair);
}

__attribute__((target("avx2"))) inline unsigned Bare32(const unsigned char* data,
                                                       std::size_t at) {
  const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + at));
  const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + at - 1));
  return static_cast<unsigned>(_mm256_movemask_epi8(_mm256_andnot_si256(
      _mm256_cmpeq_epi8(b, _mm256_set1_epi8('\r')), _mm256_cmpeq_epi8(a, _mm256_set1_epi8('\n')))));
}

__attribute__((target("avx2"))) inline unsigned PairEnds32(const unsigned char* data,
                                                           std::size_t at, __m256i first,
                                                           __m256i second) {
  const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + at));
  const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + at - 1));
  return static_cast<unsigned>(
      _mm256_movemask_epi8(_mm256_and_si256(_mm256_cmpeq_epi8(b, first), _mm256_cmpeq_epi8(a, second))));
}

// Two blocks of 32 a round with one test for both; the block that holds the stop is then
// looked at alone.
template <bool kPair>
__attribute__((target("avx2"))) std::size_t ScanAvx2(const unsigned char* data,
                                                     std::size_t from, std::size_t end,
                                                     bool crBefore, const Pair* pair) {
  constexpr std::size_t W = 32;
  if (end - from <= 2 * W) return ScanSse2(data, from, end, crBefore, kPair ? pair : nullptr);
  if (const std::size_t first =
          ScanBytes(data, from, from, from + 1, crBefore, kPair ? pair : nullptr);
      first != LineRunScanner::npos) {
    return first;
  }
  const __m256i feed = _mm256_set1_epi8('\n');
  const __m256i cr = _mm256_set1_epi8('\r');
  const __m256i first = _mm256_set1_epi8(static_cast<char>(kPair ? pair->first : 0));
  const __m256i second = _mm256_set1_epi8(static_cast<char>(kPair ? pair->second : 0));
  std::size_t pos = from + 1;
  for (; pos + 2 * W <= end; pos += 2 * W) {
    const __m256i a0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + pos));
    const __m256i b0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + pos - 1));
    const __m256i a1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + pos + W));
    const __m256i b1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + pos + W - 1));
    __m256i stops = _mm256_or_si256(
        _mm256_andnot_si256(_mm256_cmpeq_epi8(b0, cr), _mm256_cmpeq_epi8(a0, feed)),
        _mm256_andnot_si256(_mm256_cmpeq_epi8(b1, cr), _mm256_cmpeq_epi8(a1, feed)));
    if constexpr (kPair) {
      stops = _mm256_or_si256(
          stops, _mm256_or_si256(
                     _mm256_and_si256(_mm256_cmpeq_epi8(b0, first), _mm256_cmpeq_epi8(a0, second)),
                     _mm256_and_si256(_mm256_cmpeq_epi8(b1, first), _mm256_cmpeq_epi8(a1, second))));
    }
    if (_mm256_testz_si256(stops, stops)) continue;
    for (const std::size_t at : {pos, pos + W}) {
      const unsigned bare = Bare32(data, at);
      const unsigned pairEnds = kPair ? PairEnds32(data, at, first, second) : 0u;
      if ((bare | pairEnds) != 0) return StopAt(at, bare, pairEnds);
    }
  }
  return ScanBytes(data, from, pos, end, crBefore, kPair ? pair : nullptr);
}

bool HasAvx2() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
}

#endif

}  // namespace

std::size_t LineRunScanner::FirstStopPortable(const char* data, std::size_t from,
                                              std::size_t end, bool crBefore, const Pair* pair) {
  if (from >= end) return npos;
  const auto* bytes = reinterpret_cast<const unsigned char*>(data);
#if defined(SEKATO_RUNSCAN_X86)
  return ScanSse2(bytes, from, end, crBefore, pair);
#else
  return ScanBytes(bytes, from, from, end, crBefore, pair);
#endif
}

std::size_t LineRunScanner::FirstStop(const char* data, std::size_t from, std::size_t end,
                                      bool crBefore, const Pair* pair) {
#if defined(SEKATO_RUNSCAN_X86)
  static const bool avx2 = HasAvx2();
  if (avx2 && from < end) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    return pair != nullptr ? ScanAvx2<true>(bytes, from, end, crBefore, pair)
                           : ScanAvx2<false>(bytes, from, end, crBefore, pair);
  }
#endif
  return FirstStopPortable(data, from, end, crBefore, pair);
}

}  // namespace sekato::engine

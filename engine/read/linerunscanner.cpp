#include "linerunscanner.h"

#include <algorithm>
#include <cstdint>

#include "cpufeatures.h"

// x86-64 uses SSE2 (always there) and AVX2 (where the processor has it; AVX-512 adds nothing
// here); other targets, or SEKATO_SIMD=generic, look at one byte at a time.
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define SEKATO_RUNSCAN_X86 1
#endif

namespace sekato::engine {

namespace {

using Pair = LineRunScanner::Pair;
using Stop = LineRunScanner::Stop;

// Space, tab, vertical tab, form feed, CR: what clean-up trims at a line's end. (Before a
// line's CR a line feed only ends the empty line before it: that one is dropped whole.)
constexpr bool IsBlank(unsigned char c) {
  return c == ' ' || c == '\t' || (c >= '\v' && c <= '\r');
}

// Looks at positions [start, end) one by one, as the vector scans do a block at a time: a
// stop is seen at the byte that ends it (a line feed, or the second byte of the pair), and
// the pair is told by where it begins.
Stop ScanBytes(const unsigned char* d, std::size_t begin, std::size_t from, std::size_t start,
               std::size_t end, const Pair* pair, const Pair* tail) {
  for (std::size_t i = start; i < end; ++i) {
    if (pair != nullptr && i > from && d[i - 1] == pair->first && d[i] == pair->second) {
      return {i - 1, true};
    }
    if (d[i] != '\n') continue;
    if (!(i > begin && d[i - 1] == '\r')) return {i, false};
    if (tail != nullptr && i - 1 > begin) {
      const unsigned char last = d[i - 2];
      if (IsBlank(last) || (i - 2 > begin && d[i - 3] == tail->first && last == tail->second)) {
        return {i, false};
      }
    }
  }
  return {};
}

// The first position the vector blocks look at: the bytes three before it are the line's,
// and a pair ending there begins at or after `from`.
std::size_t VectorStart(std::size_t begin, std::size_t from) {
  return std::max(from + 1, begin + 3);
}

#if defined(SEKATO_RUNSCAN_X86)

// Each block compares the W bytes at `at` with the bytes one, two and three before them, so
// that a line feed meets its CR and what stands before that, and the pair's second byte its
// first, in the same lane.

// Where a block's lowest stop is: the pair's start when its second byte is there first.
inline Stop StopAt(std::size_t at, unsigned lines, unsigned pairEnds) {
  const auto bit = static_cast<unsigned>(__builtin_ctz(lines | pairEnds));
  if ((pairEnds >> bit) & 1u) return {at + bit - 1, true};
  return {at + bit, false};
}

template <bool kPair, bool kTail>
Stop ScanSse2(const unsigned char* d, std::size_t begin, std::size_t from, std::size_t end,
              const Pair* pair, const Pair* tail) {
  constexpr std::size_t W = 16;
  const std::size_t start = VectorStart(begin, from);
  if (start + W > end) return ScanBytes(d, begin, from, from, end, pair, tail);
  if (const Stop s = ScanBytes(d, begin, from, from, start, pair, tail);
      s.at != LineRunScanner::npos) {
    return s;
  }
  const auto set = [](unsigned char c) { return _mm_set1_epi8(static_cast<char>(c)); };
  const __m128i feed = set('\n');
  const __m128i cr = set('\r');
  const __m128i space = set(' ');
  const __m128i tab = set('\t');
  const __m128i vt = set('\v');
  const __m128i two = set(2);
  const __m128i first = set(kPair ? pair->first : 0);
  const __m128i second = set(kPair ? pair->second : 0);
  const __m128i tail0 = set(kTail ? tail->first : 0);
  const __m128i tail1 = set(kTail ? tail->second : 0);
  const auto load = [d](std::size_t at) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + at));
  };
  std::size_t pos = start;
  for (; pos + W <= end; pos += W) {
    const __m128i a = load(pos);
    const __m128i b = load(pos - 1);
    const __m128i lf = _mm_cmpeq_epi8(a, feed);
    __m128i lines = _mm_andnot_si128(_mm_cmpeq_epi8(b, cr), lf);
    if constexpr (kTail) {
      const __m128i c = load(pos - 2);
      const __m128i fromVt = _mm_sub_epi8(c, vt);
      const __m128i blank =
          _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(c, space), _mm_cmpeq_epi8(c, tab)),
                       _mm_cmpeq_epi8(_mm_min_epu8(fromVt, two), fromVt));
      const __m128i tailPair =
          _mm_and_si128(_mm_cmpeq_epi8(load(pos - 3), tail0), _mm_cmpeq_epi8(c, tail1));
      lines = _mm_or_si128(lines, _mm_and_si128(lf, _mm_or_si128(blank, tailPair)));
    }
    const auto lineBits = static_cast<unsigned>(_mm_movemask_epi8(lines));
    unsigned pairBits = 0;
    if constexpr (kPair) {
      pairBits = static_cast<unsigned>(
          _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(b, first), _mm_cmpeq_epi8(a, second))));
    }
    if ((lineBits | pairBits) != 0) return StopAt(pos, lineBits, pairBits);
  }
  return ScanBytes(d, begin, from, pos, end, pair, tail);
}

__attribute__((target("avx2"))) inline __m256i Set32(unsigned char c) {
  return _mm256_set1_epi8(static_cast<char>(c));
}
__attribute__((target("avx2"))) inline __m256i Load32(const unsigned char* d, std::size_t at) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + at));
}
__attribute__((target("avx2"))) inline unsigned Mask32(__m256i v) {
  return static_cast<unsigned>(_mm256_movemask_epi8(v));
}

// The stops of the 32 positions at `at`: line feeds that end a run, and pair ends.
template <bool kPair, bool kTail>
__attribute__((target("avx2"))) inline void Stops32(const unsigned char* d, std::size_t at,
                                                    const Pair* pair, const Pair* tail,
                                                    __m256i& lines, __m256i& pairEnds) {
  const __m256i a = Load32(d, at);
  const __m256i b = Load32(d, at - 1);
  const __m256i lf = _mm256_cmpeq_epi8(a, Set32('\n'));
  __m256i crBefore = _mm256_cmpeq_epi8(b, Set32('\r'));
  if constexpr (kTail) {
    const __m256i c = Load32(d, at - 2);
    // A blank is the one byte its low four bits pick from this table (a byte of 0x80 or more
    // picks 0, so never matches itself).
    const __m256i blanks = _mm256_setr_epi8(' ', -1, -1, -1, -1, -1, -1, -1, -1, '\t', -1, '\v',
                                            '\f', '\r', -1, -1, ' ', -1, -1, -1, -1, -1, -1, -1,
                                            -1, '\t', -1, '\v', '\f', '\r', -1, -1);
    const __m256i blank = _mm256_cmpeq_epi8(_mm256_shuffle_epi8(blanks, c), c);
    const __m256i tailPair =
        _mm256_and_si256(_mm256_cmpeq_epi8(Load32(d, at - 3), Set32(tail->first)),
                         _mm256_cmpeq_epi8(c, Set32(tail->second)));
    // A CR before a line feed lets the run go on only when no blank stands before it.
    crBefore = _mm256_andnot_si256(_mm256_or_si256(blank, tailPair), crBefore);
  }
  lines = _mm256_andnot_si256(crBefore, lf);
  if constexpr (kPair) {
    pairEnds = _mm256_and_si256(_mm256_cmpeq_epi8(b, Set32(pair->first)),
                                _mm256_cmpeq_epi8(a, Set32(pair->second)));
  } else {
    pairEnds = _mm256_setzero_si256();
  }
}

// Two blocks of 32 a round with one test for both; the block that holds the stop is then
// looked at alone.
template <bool kPair, bool kTail>
__attribute__((target("avx2"))) Stop ScanAvx2(const unsigned char* d, std::size_t begin,
                                              std::size_t from, std::size_t end, const Pair* pair,
                                              const Pair* tail) {
  constexpr std::size_t W = 32;
  const std::size_t start = VectorStart(begin, from);
  if (start + 2 * W > end) return ScanSse2<kPair, kTail>(d, begin, from, end, pair, tail);
  if (const Stop s = ScanBytes(d, begin, from, from, start, pair, tail);
      s.at != LineRunScanner::npos) {
    return s;
  }
  std::size_t pos = start;
  for (; pos + 2 * W <= end; pos += 2 * W) {
    __m256i lines0, pairs0, lines1, pairs1;
    Stops32<kPair, kTail>(d, pos, pair, tail, lines0, pairs0);
    Stops32<kPair, kTail>(d, pos + W, pair, tail, lines1, pairs1);
    const __m256i any =
        _mm256_or_si256(_mm256_or_si256(lines0, pairs0), _mm256_or_si256(lines1, pairs1));
    if (_mm256_testz_si256(any, any)) continue;
    if ((Mask32(lines0) | Mask32(pairs0)) != 0) return StopAt(pos, Mask32(lines0), Mask32(pairs0));
    return StopAt(pos + W, Mask32(lines1), Mask32(pairs1));
  }
  return ScanBytes(d, begin, from, pos, end, pair, tail);
}

template <bool kPair, bool kTail>
Stop Scan(bool avx2, const unsigned char* d, std::size_t begin, std::size_t from, std::size_t end,
          const Pair* pair, const Pair* tail) {
  return avx2 ? ScanAvx2<kPair, kTail>(d, begin, from, end, pair, tail)
              : ScanSse2<kPair, kTail>(d, begin, from, end, pair, tail);
}

#endif

Stop Choose(SimdLevel level, const char* data, std::size_t begin, std::size_t from, std::size_t end,
            const Pair* pair, const Pair* tail) {
  if (from >= end) return {};
  const auto* d = reinterpret_cast<const unsigned char*>(data);
#if defined(SEKATO_RUNSCAN_X86)
  if (level == SimdLevel::Generic) return ScanBytes(d, begin, from, from, end, pair, tail);
  const bool avx2 = level >= SimdLevel::Avx2;
  if (pair != nullptr) {
    return tail != nullptr ? Scan<true, true>(avx2, d, begin, from, end, pair, tail)
                           : Scan<true, false>(avx2, d, begin, from, end, pair, tail);
  }
  return tail != nullptr ? Scan<false, true>(avx2, d, begin, from, end, pair, tail)
                         : Scan<false, false>(avx2, d, begin, from, end, pair, tail);
#else
  (void)level;
  return ScanBytes(d, begin, from, from, end, pair, tail);
#endif
}

}  // namespace

Stop LineRunScanner::FirstStopPortable(const char* data, std::size_t begin, std::size_t from,
                                       std::size_t end, const Pair* pair, const Pair* tail) {
  return Choose(SimdLevel::Sse2, data, begin, from, end, pair, tail);
}

Stop LineRunScanner::FirstStop(const char* data, std::size_t begin, std::size_t from,
                               std::size_t end, const Pair* pair, const Pair* tail) {
  static const SimdLevel level = CpuFeatures::Level();
  return Choose(level, data, begin, from, end, pair, tail);
}

}  // namespace sekato::engine

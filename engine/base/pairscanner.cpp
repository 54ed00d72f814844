#include "pairscanner.h"

#include <cstdint>
#include <cstring>

#include "cpufeatures.h"

// x86-64 uses SSE2 (always there), AVX2 and AVX-512 (where the processor has them); other
// targets, or SEKATO_SIMD=generic, use GCC's portable vector extensions to find a pair and
// count byte by byte.
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define SEKATO_PAIRSCAN_X86 1
#endif

namespace sekato::engine {

namespace {

// Starts from `from` to `last` one by one: the short ends of a scan.
std::size_t ScanBytes(const unsigned char* data, std::size_t from, std::size_t last,
                      unsigned char first, unsigned char second) {
  for (std::size_t pos = from; pos <= last; ++pos) {
    if (data[pos] == first && data[pos + 1] == second) return pos;
  }
  return PairScanner::npos;
}

using Pair = PairScanner::Pair;

// A counting scan from `from` to `end` one by one: the short ends, and targets without
// vectors.
std::size_t CountBytes(const unsigned char* data, std::size_t from, std::size_t end,
                       const Pair* pairs, std::size_t count, std::int64_t& lineFeeds) {
  for (std::size_t pos = from; pos < end; ++pos) {
    if (pos + 1 < end) {
      for (std::size_t i = 0; i < count; ++i) {
        if (data[pos] == pairs[i].first && data[pos + 1] == pairs[i].second) return pos;
      }
    }
    if (data[pos] == '\n') ++lineFeeds;
  }
  return PairScanner::npos;
}

// Every scan below tests blocks of W starts, reading W + 1 bytes from the block's first
// start; the last block is moved back to end at `last`, its starts before `from` masked off.

#if defined(SEKATO_PAIRSCAN_X86)

// Bit i set where data[at + i] == first and data[at + i + 1] == second (16 starts).
inline unsigned Block16(const unsigned char* data, std::size_t at, __m128i first, __m128i second) {
  const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
  const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at + 1));
  return static_cast<unsigned>(
      _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, second))));
}

std::size_t ScanPortable(const unsigned char* data, std::size_t from, std::size_t last,
                         unsigned char first, unsigned char second) {
  constexpr std::size_t W = 16;
  if (last + 1 < W) return ScanBytes(data, from, last, first, second);
  const __m128i wantFirst = _mm_set1_epi8(static_cast<char>(first));
  const __m128i wantSecond = _mm_set1_epi8(static_cast<char>(second));
  std::size_t pos = from;
  for (; pos + W <= last + 1; pos += W) {
    if (const unsigned hits = Block16(data, pos, wantFirst, wantSecond)) {
      return pos + static_cast<std::size_t>(__builtin_ctz(hits));
    }
  }
  if (pos > last) return PairScanner::npos;
  const std::size_t at = last + 1 - W;
  const unsigned hits = Block16(data, at, wantFirst, wantSecond) & (~0u << (pos - at));
  return hits ? at + static_cast<std::size_t>(__builtin_ctz(hits)) : PairScanner::npos;
}

__attribute__((target("avx2"))) inline unsigned Block32(const unsigned char* data, std::size_t at,
                                                        __m256i first, __m256i second) {
  const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + at));
  const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + at + 1));
  return static_cast<unsigned>(_mm256_movemask_epi8(
      _mm256_and_si256(_mm256_cmpeq_epi8(a, first), _mm256_cmpeq_epi8(b, second))));
}

__attribute__((target("avx2"))) std::size_t ScanAvx2(const unsigned char* data, std::size_t from,
                                                     std::size_t last, unsigned char first,
                                                     unsigned char second) {
  constexpr std::size_t W = 32;
  if (last + 1 < W) return ScanPortable(data, from, last, first, second);
  const __m256i wantFirst = _mm256_set1_epi8(static_cast<char>(first));
  const __m256i wantSecond = _mm256_set1_epi8(static_cast<char>(second));
  std::size_t pos = from;
  for (; pos + W <= last + 1; pos += W) {
    if (const unsigned hits = Block32(data, pos, wantFirst, wantSecond)) {
      return pos + static_cast<std::size_t>(__builtin_ctz(hits));
    }
  }
  if (pos > last) return PairScanner::npos;
  const std::size_t at = last + 1 - W;
  const unsigned hits = Block32(data, at, wantFirst, wantSecond) & (~0u << (pos - at));
  return hits ? at + static_cast<std::size_t>(__builtin_ctz(hits)) : PairScanner::npos;
}

// A counting scan's hit: where the first pair start in `hits` lies (bit i is byte pos + i),
// with the line feeds before it in `feedBits` and the `feeds` of the blocks before added to
// `lineFeeds`.
__attribute__((always_inline)) inline std::size_t FirstHit(std::size_t pos, std::uint64_t hits,
                                                           std::uint64_t feedBits,
                                                           std::int64_t feeds,
                                                           std::int64_t& lineFeeds) {
  const auto at = static_cast<unsigned>(__builtin_ctzll(hits));
  lineFeeds += feeds + __builtin_popcountll(feedBits & ((std::uint64_t{1} << at) - 1));
  return pos + at;
}

// Counting scans take a fixed number of pairs N, one or kMaxPairs (a shorter list padded
// with its first pair), so that the comparisons unroll. Each block of W starts reads W + 1
// bytes; the line feeds are those among its first W.
template <std::size_t N>
std::size_t CountSse2(const unsigned char* data, std::size_t from, std::size_t end,
                      const Pair* pairs, std::int64_t& lineFeeds) {
  constexpr std::size_t W = 16;
  __m128i first[N];
  __m128i second[N];
  for (std::size_t i = 0; i < N; ++i) {
    first[i] = _mm_set1_epi8(static_cast<char>(pairs[i].first));
    second[i] = _mm_set1_epi8(static_cast<char>(pairs[i].second));
  }
  const __m128i feed = _mm_set1_epi8('\n');
  std::int64_t feeds = 0;
  std::size_t pos = from;
  for (; pos + W < end; pos += W) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + pos));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + pos + 1));
    __m128i hit = _mm_and_si128(_mm_cmpeq_epi8(a, first[0]), _mm_cmpeq_epi8(b, second[0]));
    for (std::size_t i = 1; i < N; ++i) {
      hit = _mm_or_si128(hit,
                         _mm_and_si128(_mm_cmpeq_epi8(a, first[i]), _mm_cmpeq_epi8(b, second[i])));
    }
    const auto feedBits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(a, feed)));
    if (const auto hits = static_cast<unsigned>(_mm_movemask_epi8(hit))) {
      return FirstHit(pos, hits, feedBits, feeds, lineFeeds);
    }
    feeds += __builtin_popcount(feedBits);
  }
  lineFeeds += feeds;
  return CountBytes(data, pos, end, pairs, N, lineFeeds);
}

// Pair starts (low 32 bits) and line feeds (high 32 bits) among the 32 bytes at `at`.
template <std::size_t N>
__attribute__((target("avx2,popcnt"))) inline std::uint64_t Masks32(const unsigned char* data,
                                                                    std::size_t at,
                                                                    const __m256i* first,
                                                                    const __m256i* second,
                                                                    __m256i feed) {
  const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + at));
  const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + at + 1));
  __m256i hit = _mm256_and_si256(_mm256_cmpeq_epi8(a, first[0]), _mm256_cmpeq_epi8(b, second[0]));
  for (std::size_t i = 1; i < N; ++i) {
    hit = _mm256_or_si256(
        hit, _mm256_and_si256(_mm256_cmpeq_epi8(a, first[i]), _mm256_cmpeq_epi8(b, second[i])));
  }
  const auto hits = static_cast<std::uint32_t>(_mm256_movemask_epi8(hit));
  const auto feeds = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(a, feed)));
  return hits | (std::uint64_t{feeds} << 32);
}

// Two blocks of 32 a round, so that most rounds cost one test and one count.
template <std::size_t N>
__attribute__((target("avx2,popcnt"))) std::size_t CountAvx2(const unsigned char* data,
                                                             std::size_t from, std::size_t end,
                                                             const Pair* pairs,
                                                             std::int64_t& lineFeeds) {
  constexpr std::size_t W = 32;
  __m256i first[N];
  __m256i second[N];
  for (std::size_t i = 0; i < N; ++i) {
    first[i] = _mm256_set1_epi8(static_cast<char>(pairs[i].first));
    second[i] = _mm256_set1_epi8(static_cast<char>(pairs[i].second));
  }
  const __m256i feed = _mm256_set1_epi8('\n');
  std::int64_t feeds = 0;
  std::size_t pos = from;
  for (; pos + 2 * W < end; pos += 2 * W) {
    const std::uint64_t low = Masks32<N>(data, pos, first, second, feed);
    const std::uint64_t high = Masks32<N>(data, pos + W, first, second, feed);
    const std::uint64_t hits = (low & 0xFFFFFFFFu) | (high << 32);
    const std::uint64_t feedBits = (low >> 32) | (high & 0xFFFFFFFF00000000u);
    if (hits != 0) {
      return FirstHit(pos, hits, feedBits, feeds, lineFeeds);
    }
    feeds += __builtin_popcountll(feedBits);
  }
  for (; pos + W < end; pos += W) {
    const std::uint64_t masks = Masks32<N>(data, pos, first, second, feed);
    const auto hits = static_cast<std::uint32_t>(masks);
    const auto feedBits = static_cast<std::uint32_t>(masks >> 32);
    if (hits != 0) {
      return FirstHit(pos, hits, feedBits, feeds, lineFeeds);
    }
    feeds += __builtin_popcount(feedBits);
  }
  lineFeeds += feeds;
  return CountBytes(data, pos, end, pairs, N, lineFeeds);
}

// Sixty-four starts a round in mask registers, where the processor has AVX-512BW: about a
// third fewer instructions a byte than two rounds of AVX2, on the pass's hottest loop.
template <std::size_t N>
__attribute__((target("avx512f,avx512bw,popcnt"))) std::size_t CountAvx512(
    const unsigned char* data, std::size_t from, std::size_t end, const Pair* pairs,
    std::int64_t& lineFeeds) {
  constexpr std::size_t W = 64;
  __m512i first[N];
  __m512i second[N];
  for (std::size_t i = 0; i < N; ++i) {
    first[i] = _mm512_set1_epi8(static_cast<char>(pairs[i].first));
    second[i] = _mm512_set1_epi8(static_cast<char>(pairs[i].second));
  }
  const __m512i feed = _mm512_set1_epi8('\n');
  std::int64_t feeds = 0;
  std::size_t pos = from;
  for (; pos + W < end; pos += W) {
    const __m512i a = _mm512_loadu_si512(data + pos);
    const __m512i b = _mm512_loadu_si512(data + pos + 1);
    __mmask64 hits = _mm512_cmpeq_epi8_mask(a, first[0]) & _mm512_cmpeq_epi8_mask(b, second[0]);
    for (std::size_t i = 1; i < N; ++i) {
      hits |= _mm512_cmpeq_epi8_mask(a, first[i]) & _mm512_cmpeq_epi8_mask(b, second[i]);
    }
    const __mmask64 feedBits = _mm512_cmpeq_epi8_mask(a, feed);
    if (hits != 0) {
      return FirstHit(pos, hits, feedBits, feeds, lineFeeds);
    }
    feeds += __builtin_popcountll(feedBits);
  }
  lineFeeds += feeds;
  return CountBytes(data, pos, end, pairs, N, lineFeeds);
}

using CountFunction = std::size_t (*)(const unsigned char*, std::size_t, std::size_t, const Pair*,
                                      std::int64_t&);

std::size_t CountWith(CountFunction one, CountFunction four, const unsigned char* data,
                      std::size_t from, std::size_t end, const Pair* pairs, std::size_t count,
                      std::int64_t& lineFeeds) {
  static_assert(PairScanner::kMaxPairs == 4);
  if (count == 1) return one(data, from, end, pairs, lineFeeds);
  if (count == 0 || count > PairScanner::kMaxPairs) {
    return CountBytes(data, from, end, pairs, count, lineFeeds);
  }
  Pair padded[PairScanner::kMaxPairs];
  for (std::size_t i = 0; i < PairScanner::kMaxPairs; ++i) padded[i] = pairs[i < count ? i : 0];
  return four(data, from, end, padded, lineFeeds);
}

#endif

// Without the processor's own vectors: sixteen starts at a time with GCC's vector extensions.
std::size_t ScanGeneric(const unsigned char* data, std::size_t from, std::size_t last,
                        unsigned char first, unsigned char second) {
  using Vec = unsigned char __attribute__((vector_size(16)));
  using Mask = signed char __attribute__((vector_size(16)));
  constexpr std::size_t W = 16;
  if (last + 1 < W) return ScanBytes(data, from, last, first, second);
  Vec wantFirst;
  Vec wantSecond;
  std::memset(&wantFirst, first, W);
  std::memset(&wantSecond, second, W);
  const auto block = [&](std::size_t at, std::size_t lowest) -> std::size_t {
    Vec a;
    Vec b;
    std::memcpy(&a, data + at, W);
    std::memcpy(&b, data + at + 1, W);
    const Mask hits = (a == wantFirst) & (b == wantSecond);
    std::uint64_t words[2];
    std::memcpy(words, &hits, sizeof words);
    if ((words[0] | words[1]) == 0) return PairScanner::npos;
    for (std::size_t i = lowest; i < W; ++i) {
      if (hits[i] != 0) return at + i;
    }
    return PairScanner::npos;
  };
  std::size_t pos = from;
  for (; pos + W <= last + 1; pos += W) {
    if (const std::size_t hit = block(pos, 0); hit != PairScanner::npos) return hit;
  }
  if (pos > last) return PairScanner::npos;
  const std::size_t at = last + 1 - W;
  return block(at, pos - at);
}

#if !defined(SEKATO_PAIRSCAN_X86)
// Elsewhere the portable scan is the generic one.
std::size_t ScanPortable(const unsigned char* data, std::size_t from, std::size_t last,
                         unsigned char first, unsigned char second) {
  return ScanGeneric(data, from, last, first, second);
}
#endif

using ScanFunction = std::size_t (*)(const unsigned char*, std::size_t, std::size_t, unsigned char,
                                     unsigned char);

ScanFunction ChooseScan() {
  switch (CpuFeatures::Level()) {
    case SimdLevel::Generic:
      return ScanGeneric;
#if defined(SEKATO_PAIRSCAN_X86)
    case SimdLevel::Avx2:
    case SimdLevel::Avx512:
      return ScanAvx2;
#endif
    default:
      return ScanPortable;
  }
}

using CountingFunction = std::size_t (*)(const unsigned char*, std::size_t, std::size_t,
                                         const Pair*, std::size_t, std::int64_t&);

#if defined(SEKATO_PAIRSCAN_X86)
std::size_t CountingSse2(const unsigned char* data, std::size_t from, std::size_t end,
                         const Pair* pairs, std::size_t count, std::int64_t& lineFeeds) {
  return CountWith(CountSse2<1>, CountSse2<PairScanner::kMaxPairs>, data, from, end, pairs, count,
                   lineFeeds);
}

std::size_t CountingAvx2(const unsigned char* data, std::size_t from, std::size_t end,
                         const Pair* pairs, std::size_t count, std::int64_t& lineFeeds) {
  return CountWith(CountAvx2<1>, CountAvx2<PairScanner::kMaxPairs>, data, from, end, pairs, count,
                   lineFeeds);
}

std::size_t CountingAvx512(const unsigned char* data, std::size_t from, std::size_t end,
                           const Pair* pairs, std::size_t count, std::int64_t& lineFeeds) {
  return CountWith(CountAvx512<1>, CountAvx512<PairScanner::kMaxPairs>, data, from, end, pairs,
                   count, lineFeeds);
}
#endif

CountingFunction ChooseCounting() {
  switch (CpuFeatures::Level()) {
#if defined(SEKATO_PAIRSCAN_X86)
    case SimdLevel::Sse2:
      return CountingSse2;
    case SimdLevel::Avx2:
      return CountingAvx2;
    case SimdLevel::Avx512:
      return CountingAvx512;
#endif
    default:
      return CountBytes;
  }
}

}  // namespace

std::size_t PairScanner::FindPortable(const unsigned char* data, std::size_t from, std::size_t last,
                                      unsigned char first, unsigned char second) {
  return from > last ? npos : ScanPortable(data, from, last, first, second);
}

std::size_t PairScanner::Find(const unsigned char* data, std::size_t from, std::size_t last,
                              unsigned char first, unsigned char second) {
  if (from > last) return npos;
  static const ScanFunction scan = ChooseScan();
  return scan(data, from, last, first, second);
}

std::size_t PairScanner::FindAnyCountingLinesPortable(const unsigned char* data, std::size_t from,
                                                      std::size_t end, const Pair* pairs,
                                                      std::size_t count, std::int64_t& lineFeeds) {
#if defined(SEKATO_PAIRSCAN_X86)
  return CountWith(CountSse2<1>, CountSse2<kMaxPairs>, data, from, end, pairs, count, lineFeeds);
#else
  return CountBytes(data, from, end, pairs, count, lineFeeds);
#endif
}

std::size_t PairScanner::FindAnyCountingLines(const unsigned char* data, std::size_t from,
                                              std::size_t end, const Pair* pairs, std::size_t count,
                                              std::int64_t& lineFeeds) {
  static const CountingFunction counting = ChooseCounting();
  return counting(data, from, end, pairs, count, lineFeeds);
}

}  // namespace sekato::engine

#include "cleanupscanner.h"

#include <algorithm>

#include "cpufeatures.h"

// x86-64 uses SSE2 (always there) and AVX2 (where the processor has it); other targets, or
// SEKATO_SIMD=generic, look at one byte at a time.
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define SEKATO_CLEANSCAN_X86 1
#endif

namespace sekato::engine {

namespace {

using Block = CleanUpScanner::Block;
constexpr std::size_t kBlock = 64;

// The space's bytes, last first, for the kernels: a mark at p compares p, p - 1 and p - 2.
struct Space {
  std::size_t length = 0;  // 0, 2 or 3
  unsigned char last = 0;
  unsigned char beforeLast = 0;
  unsigned char first = 0;  // of a three-byte space
};

Space SpaceOf(std::string_view space) {
  Space s;
  s.length = space.size() == 2 || space.size() == 3 ? space.size() : 0;
  if (s.length == 0) return s;
  const auto byte = [&](std::size_t back) {
    return static_cast<unsigned char>(space[space.size() - 1 - back]);
  };
  s.last = byte(0);
  s.beforeLast = byte(1);
  s.first = s.length == 3 ? byte(2) : 0;
  return s;
}

// The marks of positions [at, stop) one by one, as the vector blocks find them.
Block BytesBlock(const unsigned char* d, std::size_t at, std::size_t stop, const Space& space) {
  Block block;
  block.at = at;
  for (std::size_t i = at; i < stop; ++i) {
    const std::uint64_t bit = std::uint64_t{1} << (i - at);
    if (d[i] == '\n' && i >= 1 && d[i - 1] == '\r' && (i == 1 || d[i - 2] == '\n')) {
      block.emptyLines |= bit;
    }
    if (space.length != 0 && i + 1 >= space.length && d[i] == space.last &&
        d[i - 1] == space.beforeLast && (space.length == 2 || d[i - 2] == space.first)) {
      block.spaces |= bit;
    }
  }
  return block;
}

// Blocks of 64 from `from` while `room` lasts. `kernel.Whole(at, block)` fills the marks of
// a whole block that starts at 2 or later; a block is kept when it holds one. Inlined into
// each kernel's own function, so that the vector blocks are too.
template <class Kernel>
__attribute__((always_inline)) inline std::size_t CollectWith(
    const Kernel& kernel, const unsigned char* d, std::size_t from, std::size_t end,
    const Space& space, Block* blocks, std::size_t room, std::size_t& next) {
  std::size_t count = 0;
  std::size_t at = from;
  if (at < 2 && at < end) {
    // The first two positions alone, so that the blocks after them are whole vectors.
    const std::size_t stop = std::min<std::size_t>(2, end);
    blocks[0] = BytesBlock(d, at, stop, space);
    count += (blocks[0].spaces | blocks[0].emptyLines) != 0;
    at = stop;
  }
  // Every block is written where the next kept one goes, and kept by the count alone: a
  // block with marks is too common a case to branch on.
  for (; at + kBlock <= end && count < room; at += kBlock) {
    Block& block = blocks[count];
    kernel.Whole(at, block);
    block.at = at;
    count += (block.spaces | block.emptyLines) != 0;
  }
  if (at < end && count < room) {
    // The last block is moved back to end at `end`, the positions before `at` left out.
    Block& block = blocks[count];
    if (end >= kBlock + 2) {
      kernel.Whole(end - kBlock, block);
      const auto skipped = static_cast<unsigned>(at - (end - kBlock));
      block.spaces >>= skipped;
      block.emptyLines >>= skipped;
      block.at = at;
    } else {
      block = BytesBlock(d, at, end, space);
    }
    count += (block.spaces | block.emptyLines) != 0;
    at = end;
  }
  next = std::min(at, end);
  return count;
}

struct BytesKernel {
  const unsigned char* d;
  const Space& space;
  void Whole(std::size_t at, Block& block) const { block = BytesBlock(d, at, at + kBlock, space); }
};

#if defined(SEKATO_CLEANSCAN_X86)

// Each block compares the bytes at p with those one and two before them, so that a line feed
// meets its CR and the line feed before that, and the space's last byte its first ones.

inline std::uint64_t Bits16(__m128i v, unsigned shift) {
  return static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(v))) << shift;
}

template <std::size_t kLength>
struct Sse2Kernel {
  const unsigned char* d;
  __m128i feed, cr, last, beforeLast, first;

  Sse2Kernel(const unsigned char* data, const Space& space)
      : d(data),
        feed(_mm_set1_epi8('\n')),
        cr(_mm_set1_epi8('\r')),
        last(_mm_set1_epi8(static_cast<char>(space.last))),
        beforeLast(_mm_set1_epi8(static_cast<char>(space.beforeLast))),
        first(_mm_set1_epi8(static_cast<char>(space.first))) {}

  void Whole(std::size_t at, Block& block) const {
    std::uint64_t empty = 0;
    std::uint64_t spaces = 0;
    for (unsigned k = 0; k < 4; ++k) {
      const auto load = [&](std::size_t p) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + p));
      };
      const std::size_t p = at + 16 * k;
      const __m128i a = load(p);
      const __m128i b = load(p - 1);
      const __m128i c = load(p - 2);
      empty |= Bits16(_mm_and_si128(_mm_and_si128(_mm_cmpeq_epi8(a, feed), _mm_cmpeq_epi8(b, cr)),
                                    _mm_cmpeq_epi8(c, feed)),
                      16 * k);
      if constexpr (kLength >= 2) {
        __m128i hit = _mm_and_si128(_mm_cmpeq_epi8(a, last), _mm_cmpeq_epi8(b, beforeLast));
        if constexpr (kLength == 3) hit = _mm_and_si128(hit, _mm_cmpeq_epi8(c, first));
        spaces |= Bits16(hit, 16 * k);
      }
    }
    block.emptyLines = empty;
    block.spaces = spaces;
  }
};

__attribute__((target("avx2"))) inline __m256i Set32(unsigned char c) {
  return _mm256_set1_epi8(static_cast<char>(c));
}
__attribute__((target("avx2"))) inline __m256i Load32(const unsigned char* d, std::size_t at) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + at));
}
__attribute__((target("avx2"))) inline std::uint64_t Bits32(__m256i low, __m256i high) {
  return static_cast<std::uint64_t>(static_cast<unsigned>(_mm256_movemask_epi8(low))) |
         static_cast<std::uint64_t>(static_cast<unsigned>(_mm256_movemask_epi8(high))) << 32;
}

template <std::size_t kLength>
struct Avx2Kernel {
  const unsigned char* d;
  __m256i feed, cr, last, beforeLast, first;

  __attribute__((target("avx2"))) Avx2Kernel(const unsigned char* data, const Space& space)
      : d(data),
        feed(Set32('\n')),
        cr(Set32('\r')),
        last(Set32(space.last)),
        beforeLast(Set32(space.beforeLast)),
        first(Set32(space.first)) {}

  __attribute__((target("avx2"))) __m256i Empty(__m256i a, __m256i b, __m256i c) const {
    return _mm256_and_si256(
        _mm256_and_si256(_mm256_cmpeq_epi8(a, feed), _mm256_cmpeq_epi8(b, cr)),
        _mm256_cmpeq_epi8(c, feed));
  }
  __attribute__((target("avx2"))) __m256i Spaces(__m256i a, __m256i b, __m256i c) const {
    if constexpr (kLength < 2) return _mm256_setzero_si256();
    const __m256i hit = _mm256_and_si256(_mm256_cmpeq_epi8(a, last),
                                         _mm256_cmpeq_epi8(b, beforeLast));
    if constexpr (kLength == 3) return _mm256_and_si256(hit, _mm256_cmpeq_epi8(c, first));
    return hit;
  }
  __attribute__((target("avx2"))) void Whole(std::size_t at, Block& block) const {
    const __m256i a0 = Load32(d, at);
    const __m256i b0 = Load32(d, at - 1);
    const __m256i c0 = Load32(d, at - 2);
    const __m256i a1 = Load32(d, at + 32);
    const __m256i b1 = Load32(d, at + 31);
    const __m256i c1 = Load32(d, at + 30);
    block.emptyLines = Bits32(Empty(a0, b0, c0), Empty(a1, b1, c1));
    block.spaces = kLength < 2 ? 0 : Bits32(Spaces(a0, b0, c0), Spaces(a1, b1, c1));
  }
};

template <std::size_t kLength>
std::size_t CollectSse2(const unsigned char* d, std::size_t from, std::size_t end,
                        const Space& space, Block* blocks, std::size_t room, std::size_t& next) {
  return CollectWith(Sse2Kernel<kLength>(d, space), d, from, end, space, blocks, room, next);
}

template <std::size_t kLength>
__attribute__((target("avx2"))) std::size_t CollectAvx2(const unsigned char* d, std::size_t from,
                                                        std::size_t end, const Space& space,
                                                        Block* blocks, std::size_t room,
                                                        std::size_t& next) {
  return CollectWith(Avx2Kernel<kLength>(d, space), d, from, end, space, blocks, room, next);
}

template <std::size_t kLength>
std::size_t CollectX86(bool avx2, const unsigned char* d, std::size_t from, std::size_t end,
                       const Space& space, Block* blocks, std::size_t room, std::size_t& next) {
  return avx2 ? CollectAvx2<kLength>(d, from, end, space, blocks, room, next)
              : CollectSse2<kLength>(d, from, end, space, blocks, room, next);
}

#endif

std::size_t Choose(SimdLevel level, const char* data, std::size_t from, std::size_t end,
                   std::string_view spaceBytes, Block* blocks, std::size_t room,
                   std::size_t& next) {
  const auto* d = reinterpret_cast<const unsigned char*>(data);
  const Space space = SpaceOf(spaceBytes);
#if defined(SEKATO_CLEANSCAN_X86)
  if (level != SimdLevel::Generic) {
    const bool avx2 = level >= SimdLevel::Avx2;
    switch (space.length) {
      case 2:
        return CollectX86<2>(avx2, d, from, end, space, blocks, room, next);
      case 3:
        return CollectX86<3>(avx2, d, from, end, space, blocks, room, next);
      default:
        return CollectX86<0>(avx2, d, from, end, space, blocks, room, next);
    }
  }
#else
  (void)level;
#endif
  return CollectWith(BytesKernel{d, space}, d, from, end, space, blocks, room, next);
}

}  // namespace

std::size_t CleanUpScanner::Collect(const char* data, std::size_t from, std::size_t end,
                                    std::string_view space, Block* blocks, std::size_t room,
                                    std::size_t& next) {
  static const SimdLevel level = CpuFeatures::Level();
  return Choose(level, data, from, end, space, blocks, room, next);
}

std::size_t CleanUpScanner::CollectPortable(const char* data, std::size_t from, std::size_t end,
                                            std::string_view space, Block* blocks,
                                            std::size_t room, std::size_t& next) {
  return Choose(SimdLevel::Sse2, data, from, end, space, blocks, room, next);
}

}  // namespace sekato::engine

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

// The space's bytes for the kernels: its last two are the same byte.
struct Space {
  std::size_t length = 0;  // 0, 2 or 3
  unsigned char last = 0;
  unsigned char first = 0;  // of a three-byte space
};

Space SpaceOf(std::string_view space) {
  Space s;
  const bool usable = (space.size() == 2 || space.size() == 3) &&
                      space[space.size() - 1] == space[space.size() - 2];
  if (!usable) return s;
  s.length = space.size();
  s.last = static_cast<unsigned char>(space.back());
  s.first = static_cast<unsigned char>(space.front());
  return s;
}

// Which of 64 positions hold a line feed, the space's last byte and its first: bit k for the
// k-th position of the block.
struct Masks {
  std::uint64_t feeds = 0;
  std::uint64_t lasts = 0;
  std::uint64_t firsts = 0;
};

// The marks of a block from its masks and those of the 64 positions before it (of which the
// two last are looked at): a line feed two after another, and a run of the space's bytes.
template <std::size_t kLength>
inline void MarkBlock(const Masks& now, const Masks& before, Block& block) {
  block.emptyLines = now.feeds & (now.feeds << 2 | before.feeds >> 62);
  if constexpr (kLength >= 2) {
    block.spaces = now.lasts & (now.lasts << 1 | before.lasts >> 63);
  } else {
    block.spaces = 0;
  }
  if constexpr (kLength == 3) block.spaces &= now.firsts << 2 | before.firsts >> 62;
}

// The masks of the one or two positions right before `at`, as the two top bits; before the
// first byte stands a line feed, as the bytes start a line.
Masks MasksBefore(const unsigned char* d, std::size_t at, const Space& space) {
  Masks masks;
  for (std::size_t back = 1; back <= 2; ++back) {
    const std::uint64_t bit = std::uint64_t{1} << (64 - back);
    if (at < back) {
      if (at + 1 == back) masks.feeds |= bit;
      continue;
    }
    const unsigned char c = d[at - back];
    if (c == '\n') masks.feeds |= bit;
    if (space.length != 0 && c == space.last) masks.lasts |= bit;
    if (space.length != 0 && c == space.first) masks.firsts |= bit;
  }
  return masks;
}

// The masks of positions [at, stop), at most 64, one by one.
Masks BytesMasks(const unsigned char* d, std::size_t at, std::size_t stop, const Space& space) {
  Masks masks;
  for (std::size_t i = at; i < stop; ++i) {
    const std::uint64_t bit = std::uint64_t{1} << (i - at);
    if (d[i] == '\n') masks.feeds |= bit;
    if (space.length != 0 && d[i] == space.last) masks.lasts |= bit;
    if (space.length != 0 && d[i] == space.first) masks.firsts |= bit;
  }
  return masks;
}

// Blocks of 64 from `from` while `room` lasts; `kernel.At(at)` gives the masks of the 64
// positions at `at`. A block is kept when it holds a mark. Inlined into each kernel's own
// function, so that the vector loads are too.
template <std::size_t kLength, class Kernel>
__attribute__((always_inline)) inline std::size_t CollectWith(
    const Kernel& kernel, const unsigned char* d, std::size_t from, std::size_t end,
    const Space& space, Block* blocks, std::size_t room, std::size_t& next) {
  std::size_t count = 0;
  std::size_t at = from;
  Masks before = MasksBefore(d, from, space);
  // Every block is written where the next kept one goes, and kept by the count alone: a
  // block with marks is too common a case to branch on.
  for (; at + kBlock <= end && count < room; at += kBlock) {
    const Masks now = kernel.At(at);
    Block& block = blocks[count];
    MarkBlock<kLength>(now, before, block);
    block.at = at;
    count += (block.spaces | block.emptyLines) != 0;
    before = now;
  }
  if (at < end && count < room) {
    // The last block is read back from `end` when the bytes reach that far, the positions
    // before `at` shifted out.
    Masks now;
    if (end >= kBlock) {
      now = kernel.At(end - kBlock);
      const auto skipped = static_cast<unsigned>(at - (end - kBlock));
      now.feeds >>= skipped;
      now.lasts >>= skipped;
      now.firsts >>= skipped;
    } else {
      now = BytesMasks(d, at, end, space);
    }
    Block& block = blocks[count];
    MarkBlock<kLength>(now, before, block);
    block.at = at;
    count += (block.spaces | block.emptyLines) != 0;
    at = end;
  }
  next = at;
  return count;
}

struct BytesKernel {
  const unsigned char* d;
  const Space& space;
  Masks At(std::size_t at) const { return BytesMasks(d, at, at + kBlock, space); }
};

#if defined(SEKATO_CLEANSCAN_X86)

inline std::uint64_t Bits16(__m128i v, unsigned shift) {
  return static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(v))) << shift;
}

template <std::size_t kLength>
struct Sse2Kernel {
  const unsigned char* d;
  __m128i feed, last, first;

  Sse2Kernel(const unsigned char* data, const Space& space)
      : d(data),
        feed(_mm_set1_epi8('\n')),
        last(_mm_set1_epi8(static_cast<char>(space.last))),
        first(_mm_set1_epi8(static_cast<char>(space.first))) {}

  Masks At(std::size_t at) const {
    Masks masks;
    for (unsigned k = 0; k < 4; ++k) {
      const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + at + 16 * k));
      masks.feeds |= Bits16(_mm_cmpeq_epi8(a, feed), 16 * k);
      if constexpr (kLength >= 2) masks.lasts |= Bits16(_mm_cmpeq_epi8(a, last), 16 * k);
      if constexpr (kLength == 3) masks.firsts |= Bits16(_mm_cmpeq_epi8(a, first), 16 * k);
    }
    return masks;
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
  __m256i feed, last, first;

  __attribute__((target("avx2"))) Avx2Kernel(const unsigned char* data, const Space& space)
      : d(data), feed(Set32('\n')), last(Set32(space.last)), first(Set32(space.first)) {}

  __attribute__((target("avx2"))) Masks At(std::size_t at) const {
    const __m256i low = Load32(d, at);
    const __m256i high = Load32(d, at + 32);
    Masks masks;
    masks.feeds = Bits32(_mm256_cmpeq_epi8(low, feed), _mm256_cmpeq_epi8(high, feed));
    if constexpr (kLength >= 2) {
      masks.lasts = Bits32(_mm256_cmpeq_epi8(low, last), _mm256_cmpeq_epi8(high, last));
    }
    if constexpr (kLength == 3) {
      masks.firsts = Bits32(_mm256_cmpeq_epi8(low, first), _mm256_cmpeq_epi8(high, first));
    }
    return masks;
  }
};

template <std::size_t kLength>
std::size_t CollectSse2(const unsigned char* d, std::size_t from, std::size_t end,
                        const Space& space, Block* blocks, std::size_t room, std::size_t& next) {
  return CollectWith<kLength>(Sse2Kernel<kLength>(d, space), d, from, end, space, blocks, room,
                              next);
}

template <std::size_t kLength>
__attribute__((target("avx2"))) std::size_t CollectAvx2(const unsigned char* d, std::size_t from,
                                                        std::size_t end, const Space& space,
                                                        Block* blocks, std::size_t room,
                                                        std::size_t& next) {
  return CollectWith<kLength>(Avx2Kernel<kLength>(d, space), d, from, end, space, blocks, room,
                              next);
}

template <std::size_t kLength>
std::size_t CollectX86(bool avx2, const unsigned char* d, std::size_t from, std::size_t end,
                       const Space& space, Block* blocks, std::size_t room, std::size_t& next) {
  return avx2 ? CollectAvx2<kLength>(d, from, end, space, blocks, room, next)
              : CollectSse2<kLength>(d, from, end, space, blocks, room, next);
}

#endif

template <std::size_t kLength>
std::size_t CollectBytes(const unsigned char* d, std::size_t from, std::size_t end,
                         const Space& space, Block* blocks, std::size_t room, std::size_t& next) {
  return CollectWith<kLength>(BytesKernel{d, space}, d, from, end, space, blocks, room, next);
}

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
  switch (space.length) {
    case 2:
      return CollectBytes<2>(d, from, end, space, blocks, room, next);
    case 3:
      return CollectBytes<3>(d, from, end, space, blocks, room, next);
    default:
      return CollectBytes<0>(d, from, end, space, blocks, room, next);
  }
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

#include "cleanupmasks.h"

#include "cpufeatures.h"

// x86-64 uses SSE2 (always there) and AVX2 (where the processor has it); other targets, or
// SEKATO_SIMD=generic, look at one byte at a time.
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define SEKATO_MASKS_X86 1
#endif

namespace sekato::engine {

namespace {

// Words [word, Words(size)) one byte at a time: the run's last bytes, and targets without
// vectors.
void MarkFrom(const unsigned char* d, std::size_t size, std::size_t word, unsigned char first,
              unsigned char second, std::uint64_t* pairs, std::uint64_t* feeds) {
  for (; word < CleanupMasks::Words(size); ++word) {
    std::uint64_t pairBits = 0;
    std::uint64_t feedBits = 0;
    for (std::size_t bit = 0; bit < 64; ++bit) {
      const std::size_t p = word * 64 + bit;
      if (p + 1 >= size) break;
      if (d[p] == first && d[p + 1] == second) pairBits |= std::uint64_t{1} << bit;
      if (p + 2 < size && d[p] == '\n' && d[p + 1] == '\r' && d[p + 2] == '\n') {
        feedBits |= std::uint64_t{1} << bit;
      }
    }
    pairs[word] = pairBits;
    feeds[word] = feedBits;
  }
}

#if defined(SEKATO_MASKS_X86)

// Each block of 64 starts reads 66 bytes: a start's byte and the two after it.

inline std::uint64_t Bits16(__m128i v, unsigned shift) {
  return static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(v))) << shift;
}

std::size_t MarkSse2(const unsigned char* d, std::size_t size, unsigned char first,
                     unsigned char second, std::uint64_t* pairs, std::uint64_t* feeds) {
  const __m128i f = _mm_set1_epi8(static_cast<char>(first));
  const __m128i s = _mm_set1_epi8(static_cast<char>(second));
  const __m128i lf = _mm_set1_epi8('\n');
  const __m128i cr = _mm_set1_epi8('\r');
  const auto load = [d](std::size_t at) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + at));
  };
  std::size_t word = 0;
  for (; word * 64 + 66 <= size; ++word) {
    std::uint64_t pairBits = 0;
    std::uint64_t feedBits = 0;
    for (unsigned lane = 0; lane < 64; lane += 16) {
      const std::size_t at = word * 64 + lane;
      const __m128i a = load(at);
      const __m128i b = load(at + 1);
      pairBits |= Bits16(_mm_and_si128(_mm_cmpeq_epi8(a, f), _mm_cmpeq_epi8(b, s)), lane);
      feedBits |= Bits16(_mm_and_si128(_mm_and_si128(_mm_cmpeq_epi8(a, lf), _mm_cmpeq_epi8(b, cr)),
                                       _mm_cmpeq_epi8(load(at + 2), lf)),
                         lane);
    }
    pairs[word] = pairBits;
    feeds[word] = feedBits;
  }
  return word;
}

__attribute__((target("avx2"))) inline __m256i Load32(const unsigned char* d, std::size_t at) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + at));
}

__attribute__((target("avx2"))) inline std::uint64_t Bits32(__m256i v, unsigned shift) {
  return static_cast<std::uint64_t>(static_cast<unsigned>(_mm256_movemask_epi8(v))) << shift;
}

__attribute__((target("avx2"))) std::size_t MarkAvx2(const unsigned char* d, std::size_t size,
                                                     unsigned char first, unsigned char second,
                                                     std::uint64_t* pairs, std::uint64_t* feeds) {
  const __m256i f = _mm256_set1_epi8(static_cast<char>(first));
  const __m256i s = _mm256_set1_epi8(static_cast<char>(second));
  const __m256i lf = _mm256_set1_epi8('\n');
  const __m256i cr = _mm256_set1_epi8('\r');
  std::size_t word = 0;
  for (; word * 64 + 66 <= size; ++word) {
    std::uint64_t pairBits = 0;
    std::uint64_t feedBits = 0;
    for (unsigned lane = 0; lane < 64; lane += 32) {
      const std::size_t at = word * 64 + lane;
      const __m256i a = Load32(d, at);
      const __m256i b = Load32(d, at + 1);
      pairBits |= Bits32(_mm256_and_si256(_mm256_cmpeq_epi8(a, f), _mm256_cmpeq_epi8(b, s)), lane);
      feedBits |= Bits32(
          _mm256_and_si256(_mm256_and_si256(_mm256_cmpeq_epi8(a, lf), _mm256_cmpeq_epi8(b, cr)),
                           _mm256_cmpeq_epi8(Load32(d, at + 2), lf)),
          lane);
    }
    pairs[word] = pairBits;
    feeds[word] = feedBits;
  }
  return word;
}

#endif

void MarkAt(SimdLevel level, const char* data, std::size_t size, unsigned char first,
            unsigned char second, std::uint64_t* pairs, std::uint64_t* feeds) {
  const auto* d = reinterpret_cast<const unsigned char*>(data);
  std::size_t word = 0;
#if defined(SEKATO_MASKS_X86)
  if (level >= SimdLevel::Avx2) {
    word = MarkAvx2(d, size, first, second, pairs, feeds);
  } else if (level >= SimdLevel::Sse2) {
    word = MarkSse2(d, size, first, second, pairs, feeds);
  }
#else
  (void)level;
#endif
  MarkFrom(d, size, word, first, second, pairs, feeds);
}

}  // namespace

void CleanupMasks::Mark(const char* data, std::size_t size, unsigned char first,
                        unsigned char second, std::uint64_t* pairs, std::uint64_t* feeds) {
  static const SimdLevel level = CpuFeatures::Level();
  MarkAt(level, data, size, first, second, pairs, feeds);
}

void CleanupMasks::MarkPortable(const char* data, std::size_t size, unsigned char first,
                                unsigned char second, std::uint64_t* pairs, std::uint64_t* feeds) {
  MarkAt(SimdLevel::Sse2, data, size, first, second, pairs, feeds);
}

void CleanupMasks::MarkBytes(const char* data, std::size_t size, unsigned char first,
                             unsigned char second, std::uint64_t* pairs, std::uint64_t* feeds) {
  MarkAt(SimdLevel::Generic, data, size, first, second, pairs, feeds);
}

}  // namespace sekato::engine

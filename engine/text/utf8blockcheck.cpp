#include "utf8blockcheck.h"

#include "cpufeatures.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define SEKATO_UTF8_AVX2 1
#endif

namespace sekato::engine {

namespace {

constexpr std::size_t kBlock = 32;
constexpr std::size_t kSpan = 1024;  // blocks are checked in spans; an error ends at a span

constexpr bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Bytes of the character a lead byte begins (1 for anything else).
constexpr std::size_t LeadLength(unsigned char b) {
  return b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
}

// Given that data[0, end) is valid but a character may run on past `end`: the largest
// boundary at or below `end`.
std::size_t BoundaryAtOrBelow(const unsigned char* data, std::size_t end) {
  std::size_t lead = end;
  while (lead > 0 && end - lead < 3 && IsContinuation(data[lead - 1])) --lead;
  if (lead == 0) return 0;
  --lead;  // the byte that begins the last character
  return lead + LeadLength(data[lead]) <= end ? end : lead;
}

#ifdef SEKATO_UTF8_AVX2

// The byte-pair classification of Keiser and Lemire ("Validating UTF-8 in less than one
// instruction per byte"): each pair of neighbouring bytes is looked up by the high nibble of
// the first, its low nibble and the high nibble of the second; a bit left in all three marks
// an error. Longer sequences are checked by where third and fourth bytes must stand.
constexpr char kTooShort = 1 << 0;
constexpr char kTooLong = 1 << 1;
constexpr char kOverlong3 = 1 << 2;
constexpr char kTooLarge = 1 << 3;
constexpr char kSurrogate = 1 << 4;
constexpr char kOverlong2 = 1 << 5;
constexpr char kTooLarge1000 = 1 << 6;
constexpr char kOverlong4 = 1 << 6;
constexpr char kTwoConts = static_cast<char>(1 << 7);
constexpr char kCarry = kTooShort | kTooLong | kTwoConts;

__attribute__((target("avx2"))) __m256i Table(char a0, char a1, char a2, char a3, char a4, char a5,
                                              char a6, char a7, char a8, char a9, char a10,
                                              char a11, char a12, char a13, char a14, char a15) {
  return _mm256_setr_epi8(a0, a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11, a12, a13, a14, a15, a0,
                          a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11, a12, a13, a14, a15);
}

__attribute__((target("avx2"))) __m256i HighNibble(__m256i v) {
  return _mm256_and_si256(_mm256_srli_epi16(v, 4), _mm256_set1_epi8(0x0F));
}

// The bytes of `input` moved up by N, with the last N of `previous` in front.
template <int N>
__attribute__((target("avx2"))) __m256i Prev(__m256i input, __m256i previous) {
  return _mm256_alignr_epi8(input, _mm256_permute2x128_si256(previous, input, 0x21), 16 - N);
}

__attribute__((target("avx2"))) std::size_t ValidLengthAvx2(const unsigned char* data,
                                                            std::size_t size) {
  const __m256i byte1High = Table(
      kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTwoConts,
      kTwoConts, kTwoConts, kTwoConts, kTooShort | kOverlong2, kTooShort,
      kTooShort | kOverlong3 | kSurrogate, kTooShort | kTooLarge | kTooLarge1000 | kOverlong4);
  const __m256i byte1Low =
      Table(kCarry | kOverlong3 | kOverlong2 | kOverlong4, kCarry | kOverlong2, kCarry, kCarry,
            kCarry | kTooLarge, kCarry | kTooLarge | kTooLarge1000,
            kCarry | kTooLarge | kTooLarge1000, kCarry | kTooLarge | kTooLarge1000,
            kCarry | kTooLarge | kTooLarge1000, kCarry | kTooLarge | kTooLarge1000,
            kCarry | kTooLarge | kTooLarge1000, kCarry | kTooLarge | kTooLarge1000,
            kCarry | kTooLarge | kTooLarge1000, kCarry | kTooLarge | kTooLarge1000 | kSurrogate,
            kCarry | kTooLarge | kTooLarge1000, kCarry | kTooLarge | kTooLarge1000);
  const __m256i byte2High =
      Table(kTooShort, kTooShort, kTooShort, kTooShort, kTooShort, kTooShort, kTooShort, kTooShort,
            kTooLong | kOverlong2 | kTwoConts | kOverlong3 | kTooLarge1000 | kOverlong4,
            kTooLong | kOverlong2 | kTwoConts | kOverlong3 | kTooLarge,
            kTooLong | kOverlong2 | kTwoConts | kSurrogate | kTooLarge,
            kTooLong | kOverlong2 | kTwoConts | kSurrogate | kTooLarge, kTooShort, kTooShort,
            kTooShort, kTooShort);
  const __m256i lowNibble = _mm256_set1_epi8(0x0F);
  const __m256i high = _mm256_set1_epi8(static_cast<char>(0x80));
  const __m256i thirdBase = _mm256_set1_epi8(static_cast<char>(0xE0 - 0x80));
  const __m256i fourthBase = _mm256_set1_epi8(static_cast<char>(0xF0 - 0x80));

  __m256i previous = _mm256_setzero_si256();
  std::size_t checked = 0;  // every pair before this is known good
  for (std::size_t span = 0; span + kBlock <= size; span += kSpan) {
    const std::size_t spanEnd = span + kSpan <= size ? span + kSpan : size - size % kBlock;
    __m256i error = _mm256_setzero_si256();
    __m256i last = previous;
    for (std::size_t at = span; at < spanEnd; at += kBlock) {
      const __m256i input = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + at));
      const __m256i prev1 = Prev<1>(input, last);
      const __m256i special = _mm256_and_si256(
          _mm256_and_si256(_mm256_shuffle_epi8(byte1High, HighNibble(prev1)),
                           _mm256_shuffle_epi8(byte1Low, _mm256_and_si256(prev1, lowNibble))),
          _mm256_shuffle_epi8(byte2High, HighNibble(input)));
      const __m256i must23 =
          _mm256_and_si256(_mm256_or_si256(_mm256_subs_epu8(Prev<2>(input, last), thirdBase),
                                           _mm256_subs_epu8(Prev<3>(input, last), fourthBase)),
                           high);
      error = _mm256_or_si256(error, _mm256_xor_si256(must23, special));
      last = input;
    }
    if (!_mm256_testz_si256(error, error)) break;
    previous = last;
    checked = spanEnd;
  }
  return BoundaryAtOrBelow(data, checked);
}

#endif

}  // namespace

std::size_t Utf8BlockCheck::ValidLength(const unsigned char* data, std::size_t size) {
#ifdef SEKATO_UTF8_AVX2
  static const bool kAvx2 = CpuFeatures::Level() >= SimdLevel::Avx2;
  if (kAvx2 && size >= kBlock) return ValidLengthAvx2(data, size);
#else
  (void)data;
  (void)size;
#endif
  return 0;
}

}  // namespace sekato::engine

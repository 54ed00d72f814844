#include "asciitext.h"

#include <cstring>

#include "pairscanner.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace sekato::engine {

// Each block's matches (0xFF, that is -1) are taken from byte counters, summed before they
// can overflow.
std::size_t AsciiText::Count(const char* data, std::size_t size, char byte) {
  std::size_t count = 0;
  std::size_t at = 0;
#if defined(__SSE2__)
  const __m128i wanted = _mm_set1_epi8(byte);
  while (at + 16 <= size) {
    __m128i counters = _mm_setzero_si128();
    for (int round = 0; round < 255 && at + 16 <= size; ++round, at += 16) {
      const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
      counters = _mm_sub_epi8(counters, _mm_cmpeq_epi8(block, wanted));
    }
    const __m128i sums = _mm_sad_epu8(counters, _mm_setzero_si128());
    count += static_cast<std::size_t>(_mm_cvtsi128_si64(sums) +
                                      _mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums)));
  }
#endif
  for (; at < size; ++at) count += data[at] == byte;
  return count;
}

std::size_t AsciiText::FindBytes(std::string_view text, std::string_view needle, std::size_t from) {
  if (needle.empty()) return from <= text.size() ? from : npos;
  if (needle.size() > text.size() || from > text.size() - needle.size()) return npos;
  const auto* const data = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t last = text.size() - needle.size();  // last possible start
  if (needle.size() == 1) {
    const void* hit = std::memchr(data + from, needle[0], last + 1 - from);
    return hit ? static_cast<std::size_t>(static_cast<const unsigned char*>(hit) - data) : npos;
  }
  // The needle's first two bytes are looked for together. Most needles are one or two
  // characters: the rest is compared in place, without a call.
  const auto first = static_cast<unsigned char>(needle[0]);
  const auto second = static_cast<unsigned char>(needle[1]);
  for (std::size_t pos = from; pos <= last; ++pos) {
    pos = PairScanner::Find(data, pos, last, first, second);
    if (pos == PairScanner::npos) return npos;
    std::size_t i = 2;
    while (i < needle.size() && data[pos + i] == static_cast<unsigned char>(needle[i])) ++i;
    if (i == needle.size()) return pos;
  }
  return npos;
}

std::string_view AsciiText::TrimRight(std::string_view text) {
  std::size_t end = text.size();
  while (end > 0 && IsSpace(static_cast<unsigned char>(text[end - 1]))) --end;
  return text.substr(0, end);
}

std::string_view AsciiText::Trim(std::string_view text) {
  text = TrimRight(text);
  std::size_t begin = 0;
  while (begin < text.size() && IsSpace(static_cast<unsigned char>(text[begin]))) ++begin;
  return text.substr(begin);
}

}  // namespace sekato::engine

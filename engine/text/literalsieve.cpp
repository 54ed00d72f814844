#include "literalsieve.h"

#include <algorithm>
#include <cstring>

#include "cpufeatures.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define SEKATO_LITERALSIEVE_X86 1
#endif

namespace sekato::engine {

namespace {

const unsigned char* Bytes(std::string_view text) {
  return reinterpret_cast<const unsigned char*>(text.data());
}

#if defined(SEKATO_LITERALSIEVE_X86)

// The vector passes: from `at` on, the first round of W pair starts in which one of the
// `count` pairs (at most kMaxPairs) stands: true, `at` left where it begins and its starts as
// bits in `hits`. A round reads W + 1 bytes: false, `at` left at the last few starts.
bool NextSse2(const unsigned char* data, std::size_t& at, std::size_t size,
              const unsigned char* firstBytes, const unsigned char* secondBytes, std::size_t count,
              unsigned& hits) {
  constexpr std::size_t W = 16;
  __m128i firsts[LiteralSieve::kMaxPairs];
  __m128i seconds[LiteralSieve::kMaxPairs];
  for (std::size_t i = 0; i < count; ++i) {
    firsts[i] = _mm_set1_epi8(static_cast<char>(firstBytes[i]));
    seconds[i] = _mm_set1_epi8(static_cast<char>(secondBytes[i]));
  }
  for (; at + W < size; at += W) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at + 1));
    __m128i hit = _mm_setzero_si128();
    for (std::size_t i = 0; i < count; ++i) {
      hit = _mm_or_si128(
          hit, _mm_and_si128(_mm_cmpeq_epi8(a, firsts[i]), _mm_cmpeq_epi8(b, seconds[i])));
    }
    hits = static_cast<unsigned>(_mm_movemask_epi8(hit));
    if (hits != 0) return true;
  }
  return false;
}

__attribute__((target("avx2"))) bool NextAvx2(const unsigned char* data, std::size_t& at,
                                              std::size_t size, const unsigned char* firstBytes,
                                              const unsigned char* secondBytes, std::size_t count,
                                              unsigned& hits) {
  constexpr std::size_t W = 32;
  __m256i firsts[LiteralSieve::kMaxPairs];
  __m256i seconds[LiteralSieve::kMaxPairs];
  for (std::size_t i = 0; i < count; ++i) {
    firsts[i] = _mm256_set1_epi8(static_cast<char>(firstBytes[i]));
    seconds[i] = _mm256_set1_epi8(static_cast<char>(secondBytes[i]));
  }
  for (; at + W < size; at += W) {
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + at));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + at + 1));
    __m256i hit = _mm256_setzero_si256();
    for (std::size_t i = 0; i < count; ++i) {
      hit = _mm256_or_si256(
          hit, _mm256_and_si256(_mm256_cmpeq_epi8(a, firsts[i]), _mm256_cmpeq_epi8(b, seconds[i])));
    }
    hits = static_cast<unsigned>(_mm256_movemask_epi8(hit));
    if (hits != 0) return true;
  }
  return false;
}

#endif

}  // namespace

LiteralSieve::LiteralSieve(std::vector<std::string> literals) : m_literals(std::move(literals)) {
  for (std::size_t i = 0; i < m_literals.size(); ++i) {
    const std::string& literal = m_literals[i];
    if (!CanHold(literal)) continue;
    m_probes.push_back(
        {static_cast<unsigned char>(literal[0]), static_cast<unsigned char>(literal[1]), i, 0});
  }
  BuildPairs();
}

void LiteralSieve::Tune(std::string_view sample) {
  std::vector<std::uint32_t> counts(std::size_t{1} << 16, 0);
  const unsigned char* bytes = Bytes(sample);
  for (std::size_t at = 0; at + 1 < sample.size(); ++at) {
    ++counts[(std::size_t{bytes[at]} << 8) | bytes[at + 1]];
  }
  for (Probe& probe : m_probes) {
    const std::string& literal = m_literals[probe.literal];
    const auto* own = Bytes(literal);
    std::uint32_t fewest = UINT32_MAX;
    for (std::size_t offset = 0; offset + 1 < literal.size(); ++offset) {
      const std::uint32_t count = counts[(std::size_t{own[offset]} << 8) | own[offset + 1]];
      if (count < fewest) {
        fewest = count;
        probe = {own[offset], own[offset + 1], probe.literal, offset};
      }
    }
  }
  BuildPairs();
}

void LiteralSieve::BuildPairs() {
  m_firsts.clear();
  m_seconds.clear();
  std::fill(std::begin(m_isFirst), std::end(m_isFirst), false);
  for (const Probe& probe : m_probes) {
    bool known = false;
    for (std::size_t i = 0; i < m_firsts.size(); ++i) {
      known = known || (m_firsts[i] == probe.first && m_seconds[i] == probe.second);
    }
    if (known) continue;
    m_isFirst[probe.first] = true;
    m_firsts.push_back(probe.first);
    m_seconds.push_back(probe.second);
  }
}

bool LiteralSieve::StandsAt(std::string_view text, std::size_t at, const Probe& probe) const {
  if (at < probe.offset) return false;
  const std::string& literal = m_literals[probe.literal];
  const std::size_t start = at - probe.offset;
  return start + literal.size() <= text.size() &&
         std::memcmp(text.data() + start, literal.data(), literal.size()) == 0;
}

std::size_t LiteralSieve::Confirm(std::string_view text, std::size_t at) const {
  const unsigned char first = Bytes(text)[at];
  if (!m_isFirst[first]) return npos;
  const unsigned char second = Bytes(text)[at + 1];
  for (const Probe& probe : m_probes) {
    if (probe.first == first && probe.second == second && StandsAt(text, at, probe)) {
      return at - probe.offset;
    }
  }
  return npos;
}

std::size_t LiteralSieve::FindPlain(std::string_view text, std::size_t from) const {
  for (std::size_t at = from; at + 1 < text.size(); ++at) {
    const std::size_t start = Confirm(text, at);
    if (start != npos) return start;
  }
  return npos;
}

std::size_t LiteralSieve::Find(std::string_view text, std::size_t from) const {
  if (m_firsts.empty()) return npos;
  std::size_t at = from;
#if defined(SEKATO_LITERALSIEVE_X86)
  const SimdLevel level = CpuFeatures::Level();
  const std::size_t count = m_firsts.size();
  if (level >= SimdLevel::Sse2 && count <= kMaxPairs) {
    const auto next = level >= SimdLevel::Avx2 ? NextAvx2 : NextSse2;
    const unsigned char* data = Bytes(text);
    while (true) {
      unsigned hits = 0;
      if (!next(data, at, text.size(), m_firsts.data(), m_seconds.data(), count, hits)) break;
      for (; hits != 0; hits &= hits - 1) {
        const std::size_t start = Confirm(text, at + static_cast<std::size_t>(__builtin_ctz(hits)));
        if (start != npos) return start;
      }
      at += level >= SimdLevel::Avx2 ? 32 : 16;
    }
  }
#endif
  // The short end of a vector pass, and the whole of a plain one.
  return FindPlain(text, at);
}

}  // namespace sekato::engine

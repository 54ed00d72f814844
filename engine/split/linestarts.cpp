#include "linestarts.h"

#include "cpufeatures.h"

#if defined(__x86_64__) || defined(_M_X64)
#define SEKATO_LINESTARTS_X86 1
#include <immintrin.h>
#endif

namespace sekato::engine {

namespace {

constexpr std::size_t kBlock = 64;

// Bit i of each mask: byte i of [data, data + n) is a line feed, a carriage return.
struct Masks {
  std::uint64_t lf = 0;
  std::uint64_t cr = 0;
};

Masks MasksOfBytes(const char* data, std::size_t n) {
  Masks m;
  for (std::size_t i = 0; i < n; ++i) {
    m.lf |= std::uint64_t{data[i] == '\n'} << i;
    m.cr |= std::uint64_t{data[i] == '\r'} << i;
  }
  return m;
}

#if defined(SEKATO_LINESTARTS_X86)
__attribute__((target("avx2"))) inline std::uint64_t Bits(__m256i v) {
  return static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(v)));
}

__attribute__((target("avx2"))) inline Masks MasksAvx2(const char* data) {
  const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data));
  const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + 32));
  const __m256i lf = _mm256_set1_epi8('\n');
  const __m256i cr = _mm256_set1_epi8('\r');
  return {Bits(_mm256_cmpeq_epi8(a, lf)) | Bits(_mm256_cmpeq_epi8(b, lf)) << 32,
          Bits(_mm256_cmpeq_epi8(a, cr)) | Bits(_mm256_cmpeq_epi8(b, cr)) << 32};
}
#endif

}  // namespace

LineStarts::LineStarts(const ChapterList* list) : m_pList(list) {
  const bool any = list != nullptr && !list->entries.empty() && list->entries.front().line >= 1;
  m_nWant = any ? list->entries.front().line - 1 : -1;
  // Each entry is found once at most: the starts never move once noted.
  if (any) m_starts.reserve(list->entries.size());
}

void LineStarts::Add(const char* data, std::size_t size) {
  if (size == 0) return;
  Settle(data, size);
  if (m_nOffset == 0) {
    // The first line starts the book; it may be listed too.
    const bool listed = m_nWant == 0;
    if (listed) m_starts.push_back(0);
    m_bOpenIsFirst = true;
    m_bOpenIsListed = listed;
    Note(data, 0, size);
    if (listed) Advance();
  }
#if defined(SEKATO_LINESTARTS_X86)
  static const bool avx2 = CpuFeatures::Level() >= SimdLevel::Avx2;
  if (avx2) {
    ScanAvx2(data, size);
    m_nOffset += static_cast<std::int64_t>(size);
    return;
  }
#endif
  ScanBytes(data, 0, size, size);
  m_nOffset += static_cast<std::int64_t>(size);
}

void LineStarts::Advance() {
  const std::int64_t previous = m_nWant;
  ++m_nNext;
  const auto& entries = m_pList->entries;
  m_nWant = m_nNext < entries.size() && entries[m_nNext].line - 1 > previous
                ? entries[m_nNext].line - 1
                : -1;
}

__attribute__((always_inline)) inline void LineStarts::Take(std::uint64_t lf, std::uint64_t cr, std::size_t n, std::size_t at,
                      const char* data, std::size_t size) {
  const std::uint64_t crBefore = cr << 1 | std::uint64_t{m_bPrevCr};
  m_bBareFeeds = m_bBareFeeds || (lf & ~crBefore) != 0;
  m_bPrevCr = (cr >> (n - 1) & 1) != 0;
  if (lf == 0) return;
  const auto count = static_cast<std::int64_t>(__builtin_popcountll(lf));
  // A listed line starts right after the feed that many feeds in.
  while (m_nWant >= 0 && m_nWant <= m_nFeeds + count) {
    std::uint64_t rest = lf;
    for (std::int64_t k = m_nWant - m_nFeeds; k > 1; --k) rest &= rest - 1;
    const std::size_t start = at + static_cast<std::size_t>(__builtin_ctzll(rest)) + 1;
    m_starts.push_back(m_nOffset + static_cast<std::int64_t>(start));
    m_bOpenIsFirst = false;
    m_bOpenIsListed = true;
    Note(data, start, size);
    Advance();
  }
  m_nFeeds += count;
}

void LineStarts::ScanBytes(const char* data, std::size_t from, std::size_t end, std::size_t size) {
  for (std::size_t at = from; at < end; at += kBlock) {
    const std::size_t n = end - at < kBlock ? end - at : kBlock;
    const Masks m = MasksOfBytes(data + at, n);
    Take(m.lf, m.cr, n, at, data, size);
  }
}

#if defined(SEKATO_LINESTARTS_X86)
__attribute__((target("avx2,popcnt"))) void LineStarts::ScanAvx2(const char* data,
                                                                std::size_t size) {
  std::size_t at = 0;
  for (; at + kBlock <= size; at += kBlock) {
    const Masks m = MasksAvx2(data + at);
    Take(m.lf, m.cr, kBlock, at, data, size);
  }
  ScanBytes(data, at, size, size);
}
#else
void LineStarts::ScanAvx2(const char* data, std::size_t size) { ScanBytes(data, 0, size, size); }
#endif

void LineStarts::Note(const char* data, std::size_t at, std::size_t size) {
  if (at >= size) {
    m_open = Open::AtStart;
    return;
  }
  if (data[at] == '\r' && at + 1 >= size) {
    m_open = Open::AfterCr;
    return;
  }
  Decide(data[at] == '\n' || (data[at] == '\r' && data[at + 1] == '\n'));
}

void LineStarts::Settle(const char* data, std::size_t size) {
  if (m_open == Open::None) return;
  const Open open = m_open;
  m_open = Open::None;
  if (open == Open::AfterCr) {
    Decide(data[0] == '\n');
  } else {
    Note(data, 0, size);
  }
}

void LineStarts::Decide(bool empty) {
  if (!empty) return;
  m_bFirstEmpty = m_bFirstEmpty || m_bOpenIsFirst;
  m_bEmptyListed = m_bEmptyListed || m_bOpenIsListed;
}

}  // namespace sekato::engine

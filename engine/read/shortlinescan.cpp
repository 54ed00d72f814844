#include "shortlinescan.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define SEKATO_SHORTLINES_X86 1
#endif

namespace sekato::engine {

namespace {

// Each kernel calls `visit` with the offset of every line feed in data[from, end), in order,
// and stops when it says false; true when it went through to the end.

template <typename Visit>
bool FeedsGeneric(const char* data, std::size_t from, std::size_t end, Visit& visit) {
  while (from < end) {
    const void* feed = std::memchr(data + from, '\n', end - from);
    if (feed == nullptr) return true;
    const auto at = static_cast<std::size_t>(static_cast<const char*>(feed) - data);
    if (!visit(at)) return false;
    from = at + 1;
  }
  return true;
}

// The line feeds of one 64-byte block as bits, then visited lowest first.
template <typename Visit>
inline bool VisitMask(std::uint64_t mask, std::size_t at, Visit& visit) {
  while (mask != 0) {
    if (!visit(at + static_cast<std::size_t>(__builtin_ctzll(mask)))) return false;
    mask &= mask - 1;
  }
  return true;
}

#if defined(SEKATO_SHORTLINES_X86)

template <typename Visit>
bool FeedsSse2(const char* data, std::size_t from, std::size_t end, Visit& visit) {
  const __m128i feed = _mm_set1_epi8('\n');
  std::size_t at = from;
  for (; at + 64 <= end; at += 64) {
    std::uint64_t mask = 0;
    for (int part = 3; part >= 0; --part) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at + 16 * part));
      mask = (mask << 16) |
             static_cast<std::uint64_t>(static_cast<unsigned>(
                 _mm_movemask_epi8(_mm_cmpeq_epi8(bytes, feed))));
    }
    if (!VisitMask(mask, at, visit)) return false;
  }
  return FeedsGeneric(data, at, end, visit);
}

template <typename Visit>
__attribute__((target("avx2"))) bool FeedsAvx2(const char* data, std::size_t from,
                                               std::size_t end, Visit& visit) {
  const __m256i feed = _mm256_set1_epi8('\n');
  std::size_t at = from;
  for (; at + 64 <= end; at += 64) {
    const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + at));
    const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + at + 32));
    const auto lowMask =
        static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(low, feed)));
    const auto highMask =
        static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(high, feed)));
    if (!VisitMask(static_cast<std::uint64_t>(lowMask) | (std::uint64_t{highMask} << 32), at,
                   visit)) {
      return false;
    }
  }
  return FeedsGeneric(data, at, end, visit);
}

template <typename Visit>
__attribute__((target("avx512f,avx512bw"))) bool FeedsAvx512(const char* data, std::size_t from,
                                                             std::size_t end, Visit& visit) {
  const __m512i feed = _mm512_set1_epi8('\n');
  std::size_t at = from;
  for (; at + 64 <= end; at += 64) {
    const __m512i bytes = _mm512_loadu_si512(data + at);
    if (!VisitMask(_mm512_cmpeq_epi8_mask(bytes, feed), at, visit)) return false;
  }
  return FeedsGeneric(data, at, end, visit);
}

#endif

template <typename Visit>
bool Feeds(SimdLevel level, const char* data, std::size_t from, std::size_t end, Visit& visit) {
#if defined(SEKATO_SHORTLINES_X86)
  switch (level) {
    case SimdLevel::Avx512:
      return FeedsAvx512(data, from, end, visit);
    case SimdLevel::Avx2:
      return FeedsAvx2(data, from, end, visit);
    case SimdLevel::Sse2:
      return FeedsSse2(data, from, end, visit);
    case SimdLevel::Generic:
      break;
  }
#else
  (void)level;
#endif
  return FeedsGeneric(data, from, end, visit);
}

}  // namespace

ShortLineScan::ShortLineScan(std::size_t lineLimit, std::size_t blockBytes)
    : m_nLimit(lineLimit),
      m_nBlock(blockBytes > 0 ? blockBytes : 1),
      // An unfinished line is carried into the next block while it may still be short: its
      // bytes and a CR.
      m_nRoom(lineLimit + 1) {}

ShortLineScan::~ShortLineScan() = default;

bool ShortLineScan::Open(const std::string& path, std::int64_t skip, std::string& error) {
  if (!m_file.Open(path, error)) return false;
  m_nSkip = skip;
  m_nLines = 0;
  m_strError.clear();
  return true;
}

void ShortLineScan::Limit(std::int64_t from, std::int64_t to) {
  m_nFrom = from;
  m_nTo = to;
}

std::int64_t ShortLineScan::FirstLineStart() {
  if (m_nFrom <= m_nSkip) return m_nSkip < m_nTo ? m_nSkip : -1;
  // The line that holds byte m_nFrom − 1 belongs to the slice before.
  std::int64_t offset = m_nFrom - 1;
  char* const block = m_pBuffer.get() + m_nRoom;
  while (offset < m_nTo - 1) {
    int error = 0;
    const std::size_t got = m_file.ReadFullyAt(block, m_nBlock, offset, error);
    if (error != 0) {
      m_strError = std::strerror(error);
      return -2;
    }
    const void* feed = std::memchr(block, '\n', got);
    if (feed != nullptr) {
      const std::int64_t start = offset + (static_cast<const char*>(feed) - block) + 1;
      return start < m_nTo ? start : -1;
    }
    if (got < m_nBlock) return -1;
    offset += static_cast<std::int64_t>(got);
  }
  return -1;
}

void ShortLineScan::FeedsWith(SimdLevel level, const char* data, std::size_t from,
                              std::size_t end, const std::function<void(std::size_t at)>& take) {
  auto visit = [&](std::size_t at) {
    take(at);
    return true;
  };
  Feeds(level, data, from, end, visit);
}

inline ShortLineScan::Opening ShortLineScan::Opens(std::size_t start, std::size_t end) const {
  // Looked at in place, byte by byte: most short lines of a book are turned away here.
  const char* at = m_pBuffer.get() + start;
  const char* const stop = m_pBuffer.get() + end;
  const std::string& wide = m_pOpeners->wideSpace;
  while (at < stop) {
    const char ch = *at;
    if (ch == ' ' || ch == '\t' || ch == '\r') {
      ++at;
      continue;
    }
    std::size_t same = 0;
    while (same < wide.size() && at + same < stop && at[same] == wide[same]) ++same;
    if (same == 0 || same < wide.size()) break;
    at += same;
  }
  if (at == stop) return Opening::Blank;
  const auto first = static_cast<unsigned char>(at[0]);
  const unsigned second = at + 1 < stop ? static_cast<unsigned char>(at[1]) : 0U;
  return m_pOpeners->pairs[std::size_t{first} << 8 | second] ? Opening::Hands : Opening::Body;
}

bool ShortLineScan::Take(std::size_t start, std::size_t end, bool fed, const LineSink& onLine) {
  ++m_nLines;
  std::size_t size = end - start;
  // A CR goes with a line feed; a last line without one keeps it, as LineReader does.
  if (fed && size > 0 && m_pBuffer[end - 1] == '\r') --size;
  if (size > m_nLimit) {
    m_bLong = true;
    return true;
  }
  if (m_pOpeners) {
    const Opening opening = Opens(start, start + size);
    if (opening != Opening::Hands) {
      m_bLong = m_bLong || opening == Opening::Body;
      return true;
    }
  }
  Line line;
  line.data = m_pBuffer.get() + start;
  line.size = size;
  line.number = m_nLines;
  line.offset = m_nBase + static_cast<std::int64_t>(start);
  line.longBefore = m_bLong;
  m_bLong = false;
  return onLine(line);
}

std::size_t ShortLineScan::Lines(SimdLevel level, std::size_t from, std::size_t stop,
                                 const LineSink& onLine) {
  // Most lines are too long to matter, or open as no line handed out does: counted in
  // registers, without a call, and the count stored only before a short line is taken.
  const std::size_t longest = m_nLimit + 1;  // a CR may come on top
  std::size_t start = from;
  std::int64_t lines = m_nLines;
  bool longSince = m_bLong;
  bool bare = m_bBare;
  // The byte before every line feed is in the buffer: the block's first one has the last
  // byte of the block before in front of it (see Scan).
  const char* const buffer = m_pBuffer.get();
  auto visit = [&](std::size_t at) {
    bare = bare || buffer[at - 1] != '\r';
    if (at - start > longest) {
      ++lines;
      longSince = true;
      start = at + 1;
      return true;
    }
    if (m_pOpeners) {
      const Opening opening = Opens(start, at);
      if (opening != Opening::Hands) {
        ++lines;
        longSince = longSince || opening == Opening::Body;
        start = at + 1;
        return true;
      }
    }
    m_nLines = lines;
    m_bLong = longSince;
    const bool going = Take(start, at, true, onLine);
    lines = m_nLines;
    longSince = m_bLong;
    start = at + 1;
    return going;
  };
  const bool done = Feeds(level, m_pBuffer.get(), from, stop, visit);
  m_nLines = lines;
  m_bLong = longSince;
  m_bBare = bare;
  return done ? start : static_cast<std::size_t>(-1);
}

ShortLineScan::End ShortLineScan::Run(const LineSink& onLine, const BlockSink& onBlock) {
  if (!m_file.IsOpen()) return End::Failed;
  // The buffer is held while the scan runs only: a book read in many slices holds one for
  // each slice being read, not one for each slice.
  m_pBuffer.reset(new char[m_nRoom + m_nBlock]);
  const End end = Scan(onLine, onBlock);
  m_pBuffer.reset();
  return end;
}

ShortLineScan::End ShortLineScan::Scan(const LineSink& onLine, const BlockSink& onBlock) {
  m_nLines = 0;
  m_bLong = false;
  m_bBare = false;
  const SimdLevel level = CpuFeatures::Level();
  std::int64_t offset = FirstLineStart();  // where the next block is read from
  if (offset == -2) return End::Failed;
  if (offset < 0) return End::Done;
  std::size_t kept = 0;           // bytes of an unfinished short line before the block
  bool inLong = false;            // the block begins inside a line already too long
  // The byte before the block: what precedes the range's first line is a line feed (or
  // nothing), never a CR.
  char before = '\n';
  while (true) {
    int error = 0;
    char* const block = m_pBuffer.get() + m_nRoom;
    // Where an unfinished line was carried over, this is its last byte already.
    block[-1] = before;
    std::size_t got = m_file.ReadFullyAt(block, m_nBlock, offset, error);
    if (error != 0) {
      m_strError = std::strerror(error);
      return End::Failed;
    }
    bool eof = got < m_nBlock;
    if (offset + static_cast<std::int64_t>(got) >= m_nTo) {
      // The line that holds byte m_nTo − 1 is the range's last: it ends at the first line
      // feed from there on, and the scan ends with it.
      const std::int64_t last = std::max(m_nTo - 1, offset);
      const void* feed = std::memchr(block + (last - offset), '\n',
                                     got - static_cast<std::size_t>(last - offset));
      if (feed != nullptr) {
        got = static_cast<std::size_t>(static_cast<const char*>(feed) - block) + 1;
        eof = true;
      }
    }
    m_nBase = offset - static_cast<std::int64_t>(m_nRoom);
    const std::size_t end = m_nRoom + got;
    std::size_t from = m_nRoom - kept;
    if (inLong) {
      // The long line ends at the block's first line feed, if any.
      const void* feed = std::memchr(block, '\n', got);
      if (feed != nullptr) {
        ++m_nLines;
        m_bLong = true;
        inLong = false;
        m_bBare = m_bBare || static_cast<const char*>(feed)[-1] != '\r';
        from = static_cast<std::size_t>(static_cast<const char*>(feed) - m_pBuffer.get()) + 1;
      } else {
        from = end;
      }
    }
    const std::size_t rest = from == end ? end : Lines(level, from, end, onLine);
    if (rest == static_cast<std::size_t>(-1)) return End::Stopped;
    if (eof) {
      // A last line without line feed is still a line.
      if (inLong) {
        ++m_nLines;
        m_bLong = true;
      } else if (rest < end && !Take(rest, end, false, onLine)) {
        return End::Stopped;
      }
      return End::Done;
    }
    offset += static_cast<std::int64_t>(got);
    if (got > 0) before = block[got - 1];
    if (!inLong) {
      kept = end - rest;
      if (kept > m_nLimit + 1) {
        inLong = true;  // no line feed yet and already too long: counted when it ends
        kept = 0;
      } else {
        std::memmove(m_pBuffer.get() + m_nRoom - kept, m_pBuffer.get() + rest, kept);
      }
    }
    if (!onBlock(offset)) return End::Stopped;
  }
}

}  // namespace sekato::engine

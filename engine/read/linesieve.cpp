#include "linesieve.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace sekato::engine {

LineSieve::LineSieve(std::vector<std::string> needles, std::size_t partLimit,
                     std::size_t blockBytes, unsigned readers)
    : m_needles(std::move(needles)),
      m_nPartLimit(partLimit),
      m_nBlock(blockBytes),
      m_nReaders(readers) {
  Narrow(m_needles.size());
}

LineSieve::~LineSieve() = default;

void LineSieve::Narrow(std::size_t count) {
  if (count > 0 && count < m_needles.size()) m_needles.resize(count);
  m_pairs.clear();
  for (const std::string& needle : m_needles) {
    const PairScanner::Pair pair{static_cast<unsigned char>(needle[0]),
                                 static_cast<unsigned char>(needle[1])};
    bool known = false;
    for (const auto& p : m_pairs) {
      known = known || (p.first == pair.first && p.second == pair.second);
    }
    if (!known) m_pairs.push_back(pair);
  }
  if (m_pBlocks != nullptr) m_pBlocks->SetPairs(m_pairs);
}

bool LineSieve::Open(const std::string& path, std::int64_t skip, std::string& error) {
  if (!m_file.Open(path, error)) return false;
  m_nSkip = skip;
  m_nLines = 0;
  m_strError.clear();
  return true;
}

bool LineSieve::HoldsNeedle(std::size_t end) const {
  const std::string_view line(m_pData, end);
  for (const std::string& needle : m_needles) {
    if (line.find(needle) != std::string_view::npos) return true;
  }
  return false;
}

bool LineSieve::NeedleAt(std::size_t at, std::size_t stop) const {
  // Most needles are one character of two bytes: compared in place, without a call.
  for (const std::string& needle : m_needles) {
    if (at + needle.size() <= stop && m_pData[at] == needle[0] && m_pData[at + 1] == needle[1] &&
        (needle.size() == 2 ||
         std::memcmp(m_pData + at + 2, needle.data() + 2, needle.size() - 2) == 0)) {
      return true;
    }
  }
  return false;
}

bool LineSieve::Hand(std::size_t start, std::size_t end, bool fed, std::int64_t number,
                     std::int64_t base, const LineSink& onLine) {
  if (end - start > m_nPartLimit) return true;  // body text, as LineReader gives it in parts
  Line line;
  line.data = m_pData + start;
  // A CR goes with a line feed; a last line without one keeps it, as LineReader does.
  line.size = end - start - (fed && end > start && m_pData[end - 1] == '\r' ? 1 : 0);
  if (line.size > m_nLineLimit) return true;
  line.number = number;
  line.offset = base + static_cast<std::int64_t>(start);
  return onLine(line);
}

bool LineSieve::SiftBody(const BlockReader::Block& block, std::size_t kept, std::size_t from,
                         std::size_t stop, std::int64_t linesBefore, std::int64_t base,
                         const LineSink& onLine) {
  std::size_t next = from;  // hits before it lie in a line already handed out
  for (const BlockReader::Hit& hit : *block.hits) {
    const std::size_t at = kept + hit.at;
    if (at < next) continue;
    if (at >= stop) break;
    // The reader found the line's bounds in the block. `from` starts a line: a line with no
    // line feed before it in the block starts there (only the block's first line can, and
    // its hits are told here only when nothing came before it). The line feeds of the block
    // before `stop` are all those of whole lines: a line not ended in the block ends there.
    const std::size_t start =
        hit.lineStart == BlockReader::npos ? from : std::max(from, kept + hit.lineStart);
    const bool fed = hit.lineEnd != BlockReader::npos && kept + hit.lineEnd < stop;
    const std::size_t end = fed ? kept + hit.lineEnd : stop;
    // Too long to matter (allowing for a CR): passed over without touching its bytes.
    if (m_nLineLimit < m_nPartLimit && end - start > m_nLineLimit + 1) {
      next = end + 1;
      continue;
    }
    if (!NeedleAt(at, stop)) continue;
    if (!Hand(start, end, fed, linesBefore + hit.feeds + 1, base, onLine)) return false;
    next = end + 1;
  }
  return true;
}

LineSieve::End LineSieve::Run(const LineSink& onLine, const BlockSink& onBlock) {
  if (!m_file.IsOpen()) return End::Failed;
  m_nLines = 0;
  BlockReader blocks(m_file, m_nSkip, m_nBlock, m_nPartLimit, m_pairs, m_nReaders);
  // Narrow tells the readers while they read, and only then.
  struct Telling {
    BlockReader*& told;
    ~Telling() { told = nullptr; }
  } telling{m_pBlocks = &blocks};
  const char* carried = nullptr;  // the start of an unfinished line, in the block before
  std::size_t kept = 0;           // its length
  bool holding = false;           // the block before is still held
  std::int64_t base = m_nSkip;    // file offset of m_pData[0]
  bool inLongLine = false;        // the block begins inside a line longer than the part limit
  bool lastWasFeed = true;        // the last byte read was a line feed (or nothing was read)
  End result = End::Done;
  while (true) {
    BlockReader::Block block;
    int error = 0;
    if (!blocks.Next(block, error)) {
      m_strError = std::strerror(error);
      result = End::Failed;
      break;
    }
    // The unfinished line goes in front of the block, into the room left for it.
    m_pData = block.buffer + m_nPartLimit - kept;
    if (kept > 0) std::memcpy(m_pData, carried, kept);
    if (holding) blocks.Release();
    holding = true;
    const std::size_t got = block.size;
    const bool eof = got < m_nBlock;
    const std::size_t end = kept + got;
    if (got > 0) lastWasFeed = m_pData[end - 1] == '\n';
    const std::int64_t linesBefore = m_nLines;
    // The block's first line feed ends the line begun before it.
    const void* feed = std::memchr(m_pData + kept, '\n', got);
    const std::size_t firstEnd =
        feed ? static_cast<std::size_t>(static_cast<const char*>(feed) - m_pData) : end;
    std::size_t from = 0;  // the first line the hits of the block tell of
    if (inLongLine || kept > 0) {
      if (!inLongLine && (feed || eof) && firstEnd <= m_nPartLimit && HoldsNeedle(firstEnd) &&
          !Hand(0, firstEnd, feed != nullptr, linesBefore + 1, base, onLine)) {
        result = End::Stopped;
        break;
      }
      from = feed ? firstEnd + 1 : end;
      if (feed) inLongLine = false;
    }
    // Whole lines only: the unfinished last one waits for the next block.
    std::size_t stop = end;
    if (!eof) {
      const void* last = ::memrchr(m_pData + kept, '\n', got);
      stop = last ? static_cast<std::size_t>(static_cast<const char*>(last) - m_pData) + 1
                  : (inLongLine ? end : 0);
    }
    const bool handed =
        from >= stop || SiftBody(block, kept, from, stop, linesBefore, base, onLine);
    if (!handed) {
      result = End::Stopped;
      break;
    }
    m_nLines = linesBefore + block.feeds;
    if (eof) break;
    const std::size_t rest = end - stop;
    if (rest > m_nPartLimit) {
      inLongLine = true;  // no line feed yet and already too long: body text whatever follows
      base += static_cast<std::int64_t>(end);
      kept = 0;
    } else {
      carried = m_pData + stop;
      base += static_cast<std::int64_t>(stop);
      kept = rest;
    }
    if (!onBlock(base + static_cast<std::int64_t>(kept))) {
      result = End::Stopped;
      break;
    }
  }
  if (result == End::Done && !lastWasFeed) ++m_nLines;  // a last line without line feed
  return result;
}

}  // namespace sekato::engine

#include "longlinestore.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>
#include <vector>

#include "asciitext.h"
#include "gbktext.h"
#include "sekato/textrules.h"
#include "sourcefeed.h"

namespace sekato::engine {

LongLineStore::LongLineStore(SourceFeed& feed)
    : m_feed(feed), m_pRules(&TextRules::For(Encoding::Gbk)) {}

bool LongLineStore::Keep(std::int64_t at, const char* data, std::int64_t upTo, bool firstPart,
                         const AtHand& atHand, std::string& error) {
  if (firstPart) {
    if (!m_spill.IsOpen() && !m_spill.Open(m_strSpillFolder, error)) return false;
    // Text read ahead and not yet at hand stays (this line's start is still before it); the
    // rest belongs to lines done with.
    const std::int64_t atHandEnd = atHand.position + static_cast<std::int64_t>(atHand.size);
    const std::int64_t done = SpillEnd() > atHandEnd ? at - m_nSpillBase : m_spill.Size();
    if (!m_spill.DropFront(done, error)) return false;
    m_nSpillBase = at;
  }
  // Measuring may start at the last part, and then finds the line's end here.
  const std::int64_t from = std::max(at, SpillEnd());
  if (from >= upTo) return true;
  return m_spill.Append(data + (from - at), static_cast<std::size_t>(upTo - from), error);
}

bool LongLineStore::TakeAhead(std::int64_t end, char* data, std::size_t size,
                              std::string& error) const {
  return m_spill.ReadAt(end - m_nSpillBase, data, size, error);
}

std::int64_t LongLineStore::Measure(std::int64_t lineStart, const AtHand& atHand, bool trimmed,
                                    std::int64_t bound, const std::function<bool()>& keepGoing,
                                    std::string& error) {
  const Encoding text = m_pRules->TextEncoding();
  if (m_bSpilling || m_pRules->OutputEncoding() != text ||
      (trimmed && text != Encoding::Gbk && text != Encoding::Gb18030)) {
    return MeasureChunked(lineStart, atHand, trimmed, bound, keepGoing, error);
  }
  std::vector<char> chunk(std::size_t{1} << 16);
  std::int64_t offset = m_nTextStart + lineStart;
  std::int64_t length = 0;    // bytes of the line so far
  std::int64_t kept = 0;      // the length up to its last byte that is not a blank (trimmed)
  bool trailPending = false;  // the byte before was a lead byte: this one is its trail
  unsigned char lead = 0;
  std::int64_t keptBeforeLead = 0;
  bool lastWasCr = false;
  while (true) {
    if (!keepGoing()) return -2;
    const ssize_t got = m_feed.File().ReadAt(chunk.data(), chunk.size(), offset);
    if (got < 0) {
      error = std::strerror(errno);
      return -1;
    }
    if (got == 0) return trimmed ? kept : length;  // a last line without line feed
    for (ssize_t i = 0; i < got; ++i) {
      const auto byte = static_cast<unsigned char>(chunk[static_cast<std::size_t>(i)]);
      if (byte == '\n') return trimmed ? kept : length - (lastWasCr ? 1 : 0);
      ++length;
      lastWasCr = byte == '\r';
      if (trailPending) {
        trailPending = false;
        kept = lead == 0xA1 && byte == 0xA1 ? keptBeforeLead : length;  // full-width space?
      } else if (GbkText::IsLead(byte)) {
        trailPending = true;
        lead = byte;
        keptBeforeLead = kept;
        kept = length;  // a lead byte alone at the line's end stays
      } else if (!AsciiText::IsSpace(byte)) {
        kept = length;
      }
      if (!trailPending && (trimmed ? kept : length - 1) > bound) return bound + 1;
    }
    offset += got;
  }
}

std::int64_t LongLineStore::MeasureChunked(std::int64_t lineStart, const AtHand& atHand,
                                           bool trimmed, std::int64_t bound,
                                           const std::function<bool()>& keepGoing,
                                           std::string& error) {
  constexpr std::size_t kChunk = std::size_t{1} << 16;
  constexpr std::size_t kMaxChar = 4;
  // Room for what a chunk carries over: less than two characters.
  std::vector<char> chunk(kChunk + 2 * kMaxChar);
  std::int64_t position = lineStart;
  std::size_t carried = 0;   // bytes of a character the last chunk cut, at the front
  std::int64_t written = 0;  // the line so far as written (widened, when trimmed)
  std::int64_t kept = 0;     // the same up to its last character that is not a blank
  while (true) {
    if (!keepGoing()) return -2;
    const ssize_t got = ReadText(position, atHand, chunk.data() + carried, kChunk, error);
    if (got < 0) return -1;
    position += got;
    std::size_t size = carried + static_cast<std::size_t>(got);
    const void* lf = std::memchr(chunk.data() + carried, '\n', static_cast<std::size_t>(got));
    const bool last = got == 0 || lf != nullptr;
    if (lf != nullptr) size = static_cast<std::size_t>(static_cast<const char*>(lf) - chunk.data());
    // Unless the line ends here, stop before a character the read may have cut. So at least
    // three bytes are carried: a CR before the line feed is always in the chunk that ends.
    std::size_t end = size;
    if (!last) {
      end = size <= kMaxChar ? 0
                             : m_pRules->BoundaryAtOrBelow(std::string_view(chunk.data(), size),
                                                           size - kMaxChar + 1);
    }
    if (!trimmed) {
      const bool cr = lf != nullptr && end > 0 && chunk[end - 1] == '\r';
      const std::size_t counted = cr ? end - 1 : end;
      written += m_pRules->Written(std::string_view(chunk.data(), counted));
      if (last) return written;
      if (written > bound) return bound + 1;
    } else {
      const std::size_t textBytes = m_pRules->TrimmedLength(std::string_view(chunk.data(), end));
      const std::int64_t textWritten = m_pRules->Written(
          std::string_view(chunk.data(), m_pRules->WidenFullWidthSpaces(chunk.data(), textBytes)));
      const std::int64_t blankWritten = m_pRules->Written(std::string_view(
          chunk.data() + textBytes,
          m_pRules->WidenFullWidthSpaces(chunk.data() + textBytes, end - textBytes)));
      if (textBytes > 0) kept = written + textWritten;
      written += textWritten + blankWritten;
      if (last) return kept;
      if (kept > bound) return bound + 1;
    }
    carried = size - end;
    std::memmove(chunk.data(), chunk.data() + end, carried);
  }
}

ssize_t LongLineStore::ReadText(std::int64_t position, const AtHand& atHand, char* data,
                                std::size_t size, std::string& error) {
  if (!m_bSpilling) {
    const ssize_t got = m_feed.File().ReadAt(data, size, m_nTextStart + position);
    if (got < 0) error = std::strerror(errno);
    return got;
  }
  // The text at hand, not handed out yet, joins what was kept.
  const std::int64_t atHandEnd = atHand.position + static_cast<std::int64_t>(atHand.size);
  if (SpillEnd() < atHandEnd) {
    const auto from = static_cast<std::size_t>(SpillEnd() - atHand.position);
    if (!m_spill.Append(atHand.data + from, atHand.size - from, error)) return -1;
  }
  if (position < SpillEnd()) {
    const auto take =
        static_cast<std::size_t>(std::min(SpillEnd() - position, static_cast<std::int64_t>(size)));
    if (!m_spill.ReadAt(position - m_nSpillBase, data, take, error)) return -1;
    return static_cast<ssize_t>(take);
  }
  // Further on, the text is read ahead through the decoder and kept for the reader to take.
  if (atHand.ended) return 0;
  const ssize_t got = m_feed.ReadStraight(data, size, error);
  if (got < 0) return -1;
  if (got > 0 && !m_spill.Append(data, static_cast<std::size_t>(got), error)) return -1;
  return got;
}

bool LongLineStore::ReadAt(std::int64_t offset, char* data, std::size_t size,
                           std::string& error) const {
  if (m_bSpilling) return m_spill.ReadAt(offset - m_nSpillBase, data, size, error);
  int reason = 0;
  if (m_feed.File().ReadFullyAt(data, size, offset + m_nTextStart, reason) == size) return true;
  error = reason != 0 ? std::strerror(reason) : "the file became shorter while being read";
  return false;
}

void LongLineStore::Close() {
  m_spill.Close();
  m_nSpillBase = 0;
}

}  // namespace sekato::engine

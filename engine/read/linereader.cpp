#include "linereader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "asciitext.h"
#include "blockreader.h"
#include "gbktext.h"
#include "sekato/textrules.h"
#include "sourcedecoder.h"

namespace sekato::engine {

namespace {
constexpr std::size_t kBufferSize = LineReader::kChunkBytes;
}

LineReader::LineReader() : m_pRules(&TextRules::For(Encoding::Gbk)) {}

void LineReader::SetDecoder(SourceDecoder* decoder) { m_feed.SetDecoder(decoder); }

std::int64_t LineReader::FirstInvalid() const { return m_feed.FirstInvalid(); }

const std::string& LineReader::InvalidWrittenAs() const {
  static const std::string kKept;
  // Only a converting decoder writes anything else; it has no reading thread.
  return m_feed.Converts() ? m_feed.Decoder()->FirstInvalidWrittenAs() : kKept;
}

std::int64_t LineReader::FileBytesRead() const {
  return m_feed.Converts() ? ConvertedSoFar() : m_nTextStart + m_nPosition;
}

std::int64_t LineReader::ConvertedSoFar() const { return m_feed.Decoder()->Consumed(); }

LineReader::~LineReader() { Close(); }

bool LineReader::Open(const std::string& path, std::string& error) {
  Close();
  if (!m_feed.Open(path, kBufferSize, m_window, error)) return false;
  m_bEof = false;
  m_nPosition = 0;
  m_nLineStart = 0;
  m_bMidLine = false;
  m_strError.clear();
  return true;
}

bool LineReader::Fill() {
  if (m_bSpilling && SpillEnd() > BufferEnd()) {
    // Text read ahead into the spill while measuring comes before what the decoder gives.
    m_feed.MakeRoom(m_window);
    const auto take = static_cast<std::size_t>(std::min(
        SpillEnd() - BufferEnd(), static_cast<std::int64_t>(m_window.capacity - m_window.end)));
    if (!m_spill.ReadAt(BufferEnd() - m_nSpillBase, m_window.data + m_window.end, take,
                        m_strError)) {
      return false;
    }
    m_window.end += take;
    return true;
  }
  switch (m_feed.Refill(m_window, !m_bSpilling, m_strError)) {
    case SourceFeed::Got::Bytes:
      return true;
    case SourceFeed::Got::End:
      m_bEof = true;
      return false;
    case SourceFeed::Got::Failed:
      break;
  }
  return false;
}

void LineReader::TakePart(std::size_t sure, char*& data, std::size_t& size) {
  // The bytes before `sure` are surely the line's own (a CR that may go with the line feed
  // lies at or after it): end at the last character that lies wholly among them. The part
  // starts at a character boundary, as every part and every line does.
  const std::string_view buffered(m_window.data + m_window.begin, m_window.end - m_window.begin);
  const std::size_t end =
      m_window.begin + m_pRules->BoundaryAtOrBelow(buffered, sure - m_window.begin);
  data = m_window.data + m_window.begin;
  size = end - m_window.begin;
  m_nPosition += static_cast<std::int64_t>(size);
  m_window.begin = end;
}

bool LineReader::NextFromFile(char*& data, std::size_t& size, bool& complete) {
  if (!m_feed.File().IsOpen() || Failed()) return false;
  const bool lineStart = !m_bMidLine;
  if (lineStart) m_nLineStart = m_nPosition;
  const std::int64_t at = m_nPosition;
  const bool more = NextPiece(data, size, complete);
  m_bMidLine = more && !complete;
  if (more && m_bSpilling && !(lineStart && complete) && !Spill(at, data, lineStart)) return false;
  return more;
}

bool LineReader::Spill(std::int64_t at, const char* data, bool firstPart) {
  if (firstPart) {
    if (!m_spill.IsOpen() && !m_spill.Open(m_strSpillFolder, m_strError)) return false;
    // Text read ahead and not yet in the buffer stays (this line's start is still before
    // it); the rest belongs to lines done with.
    const std::int64_t done = SpillEnd() > BufferEnd() ? at - m_nSpillBase : m_spill.Size();
    if (!m_spill.DropFront(done, m_strError)) return false;
    m_nSpillBase = at;
  }
  // Up to the reader's position, a CR and line feed ending the line included: measuring may
  // start at the last part, and then finds the line's end here.
  const std::int64_t from = std::max(at, SpillEnd());
  if (from >= m_nPosition) return true;
  return m_spill.Append(data + (from - at), static_cast<std::size_t>(m_nPosition - from),
                        m_strError);
}

bool LineReader::NextPiece(char*& data, std::size_t& size, bool& complete) {
  complete = true;
  // A line longer than the part limit goes out in parts of about the limit.
  const auto takePartIfLong = [&](std::size_t lineBytes) {
    if (m_nPartLimit == 0 || lineBytes <= m_nPartLimit) return false;
    TakePart(m_window.begin + m_nPartLimit, data, size);
    complete = false;
    return true;
  };
  std::size_t scanned = m_window.begin;
  while (true) {
    char* base = m_window.data;
    const void* found = std::memchr(base + scanned, '\n', m_window.end - scanned);
    if (found != nullptr) {
      const auto lf = static_cast<std::size_t>(static_cast<const char*>(found) - base);
      if (takePartIfLong(lf - m_window.begin)) return true;
      data = base + m_window.begin;
      size = lf - m_window.begin;
      if (size > 0 && data[size - 1] == '\r') --size;
      m_nPosition += static_cast<std::int64_t>(lf + 1 - m_window.begin);
      m_window.begin = lf + 1;
      return true;
    }
    const std::size_t searched = m_window.end - m_window.begin;
    if (m_bEof) {
      if (searched == 0) return false;
      if (takePartIfLong(searched)) return true;
      data = base + m_window.begin;
      size = searched;
      m_nPosition += static_cast<std::int64_t>(size);
      m_window.begin = m_window.end;
      return true;
    }
    // The last byte read may be a CR of the line feed to come: a part stops short of it.
    if (searched > m_nPartLimit + 1 && takePartIfLong(searched - 1)) return true;
    if (!Fill() && Failed()) return false;
    scanned = m_window.begin + searched;
  }
}

bool LineReader::LinesAtHand(char*& data, std::size_t& size) {
  if (m_bMidLine || m_window.begin >= m_window.end || !m_strError.empty()) return false;
  data = m_window.data + m_window.begin;
  size = m_window.end - m_window.begin;
  return true;
}

void LineReader::TakeLines(std::size_t bytes) {
  m_nLineStart = m_nPosition;
  m_nPosition += static_cast<std::int64_t>(bytes);
  m_window.begin += bytes;
}

std::int64_t LineReader::MeasureLine(bool trimmed, std::int64_t bound,
                                     const std::function<bool()>& keepGoing) {
  const Encoding text = m_pRules->TextEncoding();
  if (m_bSpilling || m_pRules->OutputEncoding() != text ||
      (trimmed && text != Encoding::Gbk && text != Encoding::Gb18030)) {
    return MeasureChunked(trimmed, bound, keepGoing);
  }
  std::vector<char> chunk(std::size_t{1} << 16);
  std::int64_t offset = m_nTextStart + m_nLineStart;
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
      m_strError = std::strerror(errno);
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

std::int64_t LineReader::MeasureChunked(bool trimmed, std::int64_t bound,
                                        const std::function<bool()>& keepGoing) {
  constexpr std::size_t kChunk = std::size_t{1} << 16;
  constexpr std::size_t kMaxChar = 4;
  // Room for what a chunk carries over: less than two characters.
  std::vector<char> chunk(kChunk + 2 * kMaxChar);
  std::int64_t position = m_nLineStart;
  std::size_t carried = 0;   // bytes of a character the last chunk cut, at the front
  std::int64_t written = 0;  // the line so far as written (widened, when trimmed)
  std::int64_t kept = 0;     // the same up to its last character that is not a blank
  while (true) {
    if (!keepGoing()) return -2;
    const ssize_t got = ReadText(position, chunk.data() + carried, kChunk);
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

ssize_t LineReader::ReadText(std::int64_t position, char* data, std::size_t size) {
  if (!m_bSpilling) {
    const ssize_t got = m_feed.File().ReadAt(data, size, m_nTextStart + position);
    if (got < 0) m_strError = std::strerror(errno);
    return got;
  }
  // The buffered rest of the line, not handed out yet, joins what was.
  if (SpillEnd() < BufferEnd()) {
    const std::size_t from = m_window.begin + static_cast<std::size_t>(SpillEnd() - m_nPosition);
    if (!m_spill.Append(m_window.data + from, m_window.end - from, m_strError)) return -1;
  }
  if (position < SpillEnd()) {
    const auto take =
        static_cast<std::size_t>(std::min(SpillEnd() - position, static_cast<std::int64_t>(size)));
    if (!m_spill.ReadAt(position - m_nSpillBase, data, take, m_strError)) return -1;
    return static_cast<ssize_t>(take);
  }
  // Further on, the text is read ahead through the decoder and kept for Fill to take.
  if (m_bEof) return 0;
  const ssize_t got = m_feed.ReadStraight(data, size, m_strError);
  if (got < 0) return -1;
  if (got > 0 && !m_spill.Append(data, static_cast<std::size_t>(got), m_strError)) return -1;
  return got;
}

bool LineReader::ReadAt(std::int64_t offset, char* data, std::size_t size) {
  if (m_bSpilling) return m_spill.ReadAt(offset - m_nSpillBase, data, size, m_strError);
  int error = 0;
  if (m_feed.File().ReadFullyAt(data, size, offset + m_nTextStart, error) == size) return true;
  m_strError = error != 0 ? std::strerror(error) : "the file became shorter while being read";
  return false;
}

void LineReader::Close() {
  m_feed.Close();
  m_spill.Close();
  m_nSpillBase = 0;
  m_window = {};
}

}  // namespace sekato::engine

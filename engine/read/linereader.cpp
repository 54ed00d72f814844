#include "linereader.h"

#include <algorithm>
#include <cstring>

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
  return m_feed.Converts() ? ConvertedSoFar() : m_store.TextStart() + m_nPosition;
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
  if (m_store.AheadOf(BufferEnd()) > 0) {
    // Text read ahead into the spill while measuring comes before what the decoder gives.
    m_feed.MakeRoom(m_window);
    const auto take = static_cast<std::size_t>(std::min(
        m_store.AheadOf(BufferEnd()), static_cast<std::int64_t>(m_window.capacity - m_window.end)));
    if (!m_store.TakeAhead(BufferEnd(), m_window.data + m_window.end, take, m_strError)) {
      return false;
    }
    m_window.end += take;
    return true;
  }
  switch (m_feed.Refill(m_window, !m_store.Spilling(), m_strError)) {
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
  // The store keeps every part of a long line, up to the reader's position.
  if (more && m_store.Spilling() && !(lineStart && complete) &&
      !m_store.Keep(at, data, m_nPosition, lineStart, AtHandNow(), m_strError)) {
    return false;
  }
  return more;
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

void LineReader::Close() {
  m_feed.Close();
  m_store.Close();
  m_window = {};
}

}  // namespace sekato::engine

#include "linesieve.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sekato::engine {

LineSieve::LineSieve(std::vector<std::string> needles, std::size_t partLimit,
                     std::size_t blockBytes)
    : m_needles(std::move(needles)), m_nPartLimit(partLimit), m_nBlock(blockBytes) {
  Narrow(m_needles.size());
}

LineSieve::~LineSieve() { Close(); }

void LineSieve::Narrow(std::size_t count) {
  if (count < m_needles.size()) m_needles.resize(count);
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
}

bool LineSieve::Open(const std::string& path, std::int64_t skip, std::string& error) {
  Close();
  // As LineReader opens a source: a FIFO without writer must not hold the pass.
  m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  struct stat info {};
  if (m_fd < 0 || ::fstat(m_fd, &info) != 0) {
    error = std::strerror(errno);
    Close();
    return false;
  }
  if (!S_ISREG(info.st_mode)) {
    error = std::strerror(S_ISDIR(info.st_mode) ? EISDIR : ESPIPE);
    Close();
    return false;
  }
  if (skip > 0 && ::lseek(m_fd, skip, SEEK_SET) < 0) {
    error = std::strerror(errno);
    Close();
    return false;
  }
  ::posix_fadvise(m_fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  m_nLength = info.st_size;
  m_nSkip = skip;
  m_nLines = 0;
  m_strError.clear();
  return true;
}

void LineSieve::Close() {
  if (m_fd >= 0) ::close(m_fd);
  m_fd = -1;
}

bool LineSieve::NeedleAt(std::size_t at, std::size_t stop) const {
  for (const std::string& needle : m_needles) {
    if (at + needle.size() <= stop &&
        std::memcmp(m_buffer.data() + at, needle.data(), needle.size()) == 0) {
      return true;
    }
  }
  return false;
}

bool LineSieve::Sift(std::size_t from, std::size_t stop, std::int64_t base,
                     const LineSink& onLine) {
  auto* const bytes = reinterpret_cast<unsigned char*>(m_buffer.data());
  std::size_t pos = from;  // the line feeds before it are counted
  while (pos < stop) {
    const std::size_t hit = PairScanner::FindAnyCountingLines(
        bytes, pos, stop, m_pairs.data(), m_pairs.size(), m_nLines);
    if (hit == PairScanner::npos) return true;
    if (!NeedleAt(hit, stop)) {
      pos = hit + 1;  // the byte at `hit` starts a pair, so it is no line feed
      continue;
    }
    // `from` starts a line, so the line holding the hit starts there or after a line feed.
    const void* before = ::memrchr(bytes + from, '\n', hit - from);
    const std::size_t start =
        before ? static_cast<std::size_t>(static_cast<const unsigned char*>(before) - bytes) + 1
               : from;
    const void* after = std::memchr(bytes + hit, '\n', stop - hit);
    const std::size_t end =
        after ? static_cast<std::size_t>(static_cast<const unsigned char*>(after) - bytes) : stop;
    if (end - start <= m_nPartLimit) {
      Line line;
      line.data = m_buffer.data() + start;
      // A CR goes with a line feed; a last line without one keeps it, as LineReader does.
      line.size = end - start - (after && end > start && bytes[end - 1] == '\r' ? 1 : 0);
      line.number = m_nLines + 1;
      line.offset = base + static_cast<std::int64_t>(start);
      if (!onLine(line)) return false;
    }
    if (after == nullptr) return true;
    ++m_nLines;
    pos = end + 1;
  }
  return true;
}

LineSieve::End LineSieve::Run(const LineSink& onLine, const BlockSink& onBlock) {
  if (m_fd < 0) return End::Failed;
  m_buffer.resize(m_nPartLimit + m_nBlock);
  std::size_t kept = 0;       // the start of an unfinished line, at the buffer's front
  std::int64_t base = m_nSkip;  // file offset of the buffer's first byte
  bool inLongLine = false;    // the buffer begins inside a line longer than the part limit
  bool lastWasFeed = true;    // the last byte read was a line feed (or nothing was read)
  m_nLines = 0;
  while (true) {
    ssize_t got = 0;
    do {
      got = ::read(m_fd, m_buffer.data() + kept, m_nBlock);
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
      m_strError = std::strerror(errno);
      return End::Failed;
    }
    const bool eof = got == 0;
    const std::size_t end = kept + static_cast<std::size_t>(got);
    if (got > 0) lastWasFeed = m_buffer[end - 1] == '\n';
    std::size_t from = 0;
    if (inLongLine) {  // its rest, up to its line feed, is body text
      const void* feed = std::memchr(m_buffer.data(), '\n', end);
      if (feed != nullptr) {
        from = static_cast<std::size_t>(static_cast<const char*>(feed) - m_buffer.data()) + 1;
        ++m_nLines;
        inLongLine = false;
      } else {
        from = end;
      }
    }
    // Whole lines only: the unfinished last one waits for the next block.
    std::size_t stop = end;
    if (!eof && from < end) {
      const void* last = ::memrchr(m_buffer.data() + from, '\n', end - from);
      stop = last ? static_cast<std::size_t>(static_cast<const char*>(last) - m_buffer.data()) + 1
                  : from;
    }
    if (!Sift(from, stop, base, onLine)) return End::Stopped;
    if (eof) break;
    const std::size_t rest = end - stop;
    if (rest > m_nPartLimit) {
      inLongLine = true;  // no line feed yet and already too long: body text whatever follows
      base += static_cast<std::int64_t>(end);
      kept = 0;
    } else {
      std::memmove(m_buffer.data(), m_buffer.data() + stop, rest);
      base += static_cast<std::int64_t>(stop);
      kept = rest;
    }
    if (!onBlock(base + static_cast<std::int64_t>(kept))) return End::Stopped;
  }
  if (!lastWasFeed) ++m_nLines;  // a last line without line feed
  return End::Done;
}

}  // namespace sekato::engine

#include "outfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "fileops.h"
#include "helpercopy.h"  // the helper goes with the file

namespace sekato::engine {

namespace {
constexpr std::size_t kBufferSize = 1 << 18;
// Buffers in the ring written behind: one being filled, one being written, and two to take
// up the unevenness of the two threads.
constexpr std::size_t kBuffersBehind = 4;
constexpr std::size_t kBehindBytes = 1 << 18;
// A piece's first bytes go out this soon: the writing thread, which has just written the
// piece before to its end, has work again while the rest of the first buffer fills.
constexpr std::size_t kFirstFill = 1 << 14;
}

namespace {

// UTF-8 into UTF-16, as far as the output has room. Whatever it is given is written: a
// surrogate in UTF-8's form (a lone one kept from a UTF-16 source) becomes its own code unit,
// and every other byte that is not UTF-8 becomes U+FFFD, so a piece is always whole code
// units. Only a character cut off by the end of the input waits, unless `final`.
void Utf8ToUtf16(const char*& in, std::size_t& inLeft, char*& out, std::size_t& outLeft,
                 bool bigEndian, bool final) {
  const auto* p = reinterpret_cast<const unsigned char*>(in);
  const auto* const end = p + inLeft;
  auto* o = reinterpret_cast<unsigned char*>(out);
  auto* const outEnd = o + outLeft;
  const auto cont = [](unsigned char b) { return (b & 0xC0) == 0x80; };
  const auto put = [&](std::uint32_t unit) {
    o[bigEndian ? 1 : 0] = static_cast<unsigned char>(unit);
    o[bigEndian ? 0 : 1] = static_cast<unsigned char>(unit >> 8);
    o += 2;
  };
  constexpr std::uint32_t kReplacement = 0xFFFD;
  while (p < end && outEnd - o >= 4) {
    const unsigned char b = p[0];
    if (b < 0x80) {
      put(b);
      ++p;
      continue;
    }
    const std::size_t length = b >= 0xC2 && b <= 0xDF   ? 2
                               : b >= 0xE0 && b <= 0xEF ? 3
                               : b >= 0xF0 && b <= 0xF4 ? 4
                                                        : 0;
    std::size_t have = 1;
    while (have < length && p + have < end && cont(p[have])) ++have;
    if (length > 0 && have < length && p + have == end && !final) break;  // cut off: wait
    std::uint32_t cp = 0;
    bool valid = length > 0 && have == length;
    if (valid) {
      cp = b & (0x7Fu >> length);
      for (std::size_t k = 1; k < length; ++k) cp = cp << 6 | (p[k] & 0x3Fu);
      const bool overlong = (length == 3 && cp < 0x800) || (length == 4 && cp < 0x10000);
      valid = !overlong && cp <= 0x10FFFF;
    }
    if (!valid) {
      put(kReplacement);  // one for each byte that is not UTF-8
      ++p;
      continue;
    }
    if (cp >= 0x10000) {
      put(0xD800 | ((cp - 0x10000) >> 10));
      put(0xDC00 | ((cp - 0x10000) & 0x3FF));
    } else {
      put(cp);
    }
    p += length;
  }
  inLeft -= static_cast<std::size_t>(p - reinterpret_cast<const unsigned char*>(in));
  in = reinterpret_cast<const char*>(p);
  outLeft -= static_cast<std::size_t>(o - reinterpret_cast<unsigned char*>(out));
  out = reinterpret_cast<char*>(o);
}

}  // namespace

OutFile::OutFile()
    : m_own(kBufferSize), m_pBuffer(m_own.data()), m_nCapacity(m_own.size()), m_nFill(m_nCapacity) {}

OutFile::~OutFile() {
  std::string ignored;
  Close(ignored);
}

void OutFile::ConvertToUtf16(bool bigEndian) {
  m_bUtf16 = true;
  m_bBigEndian = bigEndian;
  m_nFill = m_nCapacity;
  m_converted.resize(m_nCapacity * 2 + 16);
}

bool OutFile::Create(const std::string& path, const std::vector<FileId>& untouchable,
                     Refusal& refusal, std::size_t& hit, std::string& error, bool onlyNew) {
  refusal = Refusal::None;
  std::string ignored;
  Close(ignored);
  m_nErrno = 0;
  m_strPath = path;
  m_strFailedPath = path;
  m_used = 0;
  m_nToClean = 0;
  m_inPlace = {};
  if (m_behind && !m_bUtf16) m_nFill = std::min(m_nCapacity, kFirstFill);
  const auto fail = [&](Refusal why, int reason) {
    refusal = why;
    if (reason != 0) error = std::strerror(reason);
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    return false;
  };
  if (onlyNew) {
    // O_EXCL fails on any name there, a symbolic link included: what is opened was made here
    // and now, a plain empty file that is nothing else's.
    m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (m_fd >= 0) return true;
    const int reason = errno;
    return fail(reason == EEXIST ? Refusal::Taken : Refusal::System, reason);
  }
  // Open without truncating first, so that a file that must be kept can be recognised before
  // anything of it is lost, whatever name (hard link) leads to it. O_NOFOLLOW refuses a
  // symbolic link; O_NONBLOCK makes a FIFO without reader fail at once instead of waiting.
  m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0666);
  if (m_fd < 0) {
    const int reason = errno;
    return fail(
        reason == ELOOP || reason == ENXIO || reason == EISDIR ? Refusal::Special : Refusal::System,
        reason);
  }
  struct stat info {};
  if (::fstat(m_fd, &info) != 0) return fail(Refusal::System, errno);
  if (!S_ISREG(info.st_mode)) return fail(Refusal::Special, 0);
  for (hit = 0; hit < untouchable.size(); ++hit) {
    if (info.st_dev == untouchable[hit].device && info.st_ino == untouchable[hit].inode) {
      return fail(Refusal::Untouchable, 0);
    }
  }
  if (info.st_size != 0 && ::ftruncate(m_fd, 0) != 0) return fail(Refusal::System, errno);
  return true;
}

bool OutFile::CreateUnnamed(const std::string& directory, bool unnamed, std::string& error) {
  std::string ignored;
  Close(ignored);
  m_nErrno = 0;
  m_strPath.clear();
  m_strFailedPath.clear();
  m_used = 0;
  m_nToClean = 0;
  m_inPlace = {};
  m_fd = unnamed ? ::open(directory.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666) : -1;
  if (m_fd >= 0) return true;
  error = std::strerror(unnamed ? errno : EOPNOTSUPP);
  return false;
}

int OutFile::Release(std::string& error) {
  if (m_fd < 0) return -1;
  Flush();
  const int fd = m_fd;
  m_fd = -1;
  if (m_nErrno == 0) return fd;
  ::close(fd);
  error = std::strerror(m_nErrno);
  m_nErrno = 0;
  return -1;
}

void OutFile::TakeBack(std::int64_t bytes) {
  if (bytes <= 0 || m_fd < 0) return;
  SendInPlace();
  CleanHere();
  if (static_cast<std::int64_t>(m_used) >= bytes) {
    m_used -= static_cast<std::size_t>(bytes);
    return;
  }
  Flush();
  Settle();  // the file's end is where it is once what went behind is written
  const off_t end = ::lseek(m_fd, 0, SEEK_CUR);
  const off_t kept = end < 0 ? 0 : std::max<off_t>(end - bytes, 0);
  if (end < 0 || ::ftruncate(m_fd, kept) != 0 || ::lseek(m_fd, kept, SEEK_SET) < 0) {
    if (m_nErrno == 0) m_nErrno = errno;
  }
}

void OutFile::WriteInPlace(std::string_view bytes) {
  if (m_bUtf16 || m_behind || bytes.empty()) {
    Write(bytes);
    return;
  }
  SendInPlace();
  m_inPlace = bytes;
  m_nInPlaceAt = m_used;
}

void OutFile::SendInPlace() {
  if (m_inPlace.empty()) return;
  iovec parts[3] = {{m_pBuffer, m_nInPlaceAt},
                    {const_cast<char*>(m_inPlace.data()), m_inPlace.size()},
                    {m_pBuffer + m_nInPlaceAt, m_used - m_nInPlaceAt}};
  m_inPlace = {};
  m_used = 0;
  if (m_nErrno == 0 && m_fd >= 0) m_nErrno = FileOps::WriteAllParts(m_fd, parts, 3);
}

void OutFile::WriteSlow(std::string_view bytes) {
  SendInPlace();
  if (m_bUtf16) {  // everything goes through the buffer to be converted
    while (!bytes.empty() && m_nErrno == 0) {
      Flush();
      const std::size_t take = std::min(bytes.size(), m_nCapacity - m_used);
      std::copy(bytes.begin(), bytes.begin() + static_cast<long>(take), m_pBuffer + m_used);
      m_used += take;
      bytes.remove_prefix(take);
    }
    return;
  }
  // Below this a copy costs less than a write of its own.
  constexpr std::size_t kCopyBelow = 1 << 16;
  if (bytes.size() < kCopyBelow) {
    Flush();
    std::copy(bytes.begin(), bytes.end(), m_pBuffer);
    m_used = bytes.size();
    if (m_used >= m_nFill) Flush();  // more than a piece's first hand-over waits for
    return;
  }
  // A long run goes out in one write with what the buffer holds before it, uncopied: it
  // lies in memory of the caller's, so it is written here, after the buffers behind.
  Settle();
  CleanHere();
  iovec parts[2] = {{m_pBuffer, m_used}, {const_cast<char*>(bytes.data()), bytes.size()}};
  m_used = 0;
  if (m_nErrno == 0 && m_fd >= 0) m_nErrno = FileOps::WriteAllParts(m_fd, parts, 2);
}

std::size_t OutFile::WriteRunToClean(char* run, std::size_t size, bool behind) {
  // Only a run that goes into the buffer whole, the buffer then being one to be written
  // behind, is left to the writing thread; a buffer given a long run here goes out at once.
  constexpr std::size_t kBehindBelow = 1 << 16;
  if (behind && m_behind && !m_bUtf16 && size < kBehindBelow && m_nErrno == 0 && m_fd >= 0) {
    if (size > m_nFill - m_used || m_nToClean == WriteBehind::kMostStretches) Flush();
    if (size <= m_nFill - m_used && m_nToClean < WriteBehind::kMostStretches) {
      m_toClean[m_nToClean++] = {m_used, size};
      std::copy(run, run + size, m_pBuffer + m_used);
      m_used += size;
      return size;
    }
  }
  const std::size_t kept = m_cleaner->Clean(run, size);
  Write({run, kept});
  return kept;
}

void OutFile::CleanHere() {
  if (m_nToClean == 0) return;
  std::size_t out = 0;
  WriteBehind::CleanStretches(m_pBuffer, m_used, TakeToClean(),
                              [&](std::size_t at, std::size_t length) {
                                if (out != at)
                                  std::memmove(m_pBuffer + out, m_pBuffer + at, length);
                                out += length;
                              });
  m_used = out;
}

WriteBehind::ToClean OutFile::TakeToClean() {
  const WriteBehind::ToClean toClean{m_cleaner ? &*m_cleaner : nullptr, m_toClean, m_nToClean};
  m_nToClean = 0;
  return toClean;
}

void OutFile::WriteText(std::string_view text) {
  std::size_t start = 0;
  std::size_t lf;
  while ((lf = text.find('\n', start)) != std::string_view::npos) {
    Write(text.substr(start, lf - start));
    Break();
    start = lf + 1;
  }
  Write(text.substr(start));
}

void OutFile::WriteOut(const char* data, std::size_t size) {
  Settle();
  if (m_nErrno == 0 && m_fd >= 0) m_nErrno = FileOps::WriteAll(m_fd, data, size);
}

void OutFile::Settle() {
  if (!m_behind) return;
  std::string failed;
  const int error = m_behind->Settle(&failed);
  if (m_nErrno != 0 || error == 0) return;
  m_nErrno = error;
  m_strFailedPath = failed.empty() ? m_strPath : std::move(failed);
}

std::string OutFile::TakeError() {
  std::string error = std::strerror(m_nErrno);
  m_nErrno = 0;
  return error;
}

void OutFile::HandOver() {
  if (m_used == 0) return;
  if (m_nErrno != 0 || m_fd < 0) {  // nothing more is written after a failure
    m_used = 0;
    m_nToClean = 0;
    return;
  }
  if (!m_behind) {
    CleanHere();
    const std::size_t filled = m_used;
    WriteOut(m_pBuffer, m_used);
    m_used = 0;
    // A small piece's last bytes start nothing; a buffer filled starts writing behind.
    if (m_bBehindTried || filled < m_nCapacity / 2) return;
    m_bBehindTried = true;
    auto behind = std::make_unique<WriteBehind>(kBehindBytes, kBuffersBehind);
    if (!behind->Start()) return;
    m_behind = std::move(behind);
    m_pBuffer = m_behind->Free();
    m_nCapacity = m_nFill = m_behind->BufferBytes();
    std::vector<char>().swap(m_own);
    return;
  }
  m_behind->Hand(m_fd, m_pBuffer, m_used, TakeToClean());
  m_pBuffer = m_behind->Free();
  m_used = 0;
  m_nFill = m_nCapacity;
}

void OutFile::ConvertBuffer(bool final) {
  const char* in = m_pBuffer;
  std::size_t inLeft = m_used;
  char* out = m_converted.data();
  std::size_t outLeft = m_converted.size();
  // Two bytes out for each byte in at most: all of it fits, but for a character cut off.
  Utf8ToUtf16(in, inLeft, out, outLeft, m_bBigEndian, final);
  WriteOut(m_converted.data(), m_converted.size() - outLeft);
  std::memmove(m_pBuffer, in, inLeft);
  m_used = inLeft;
}

void OutFile::Flush() {
  SendInPlace();
  if (m_bUtf16) {
    ConvertBuffer(false);
    return;
  }
  HandOver();
}

bool OutFile::CloseBehind(std::string& error) {
  if (!m_behind || m_bUtf16 || m_fd < 0) return Close(error);
  // A failure seen by now is this file's or one closed behind before it: told at once.
  if (Failed()) return Close(error);
  m_behind->HandClose(m_fd, m_pBuffer, m_used, m_strPath, TakeToClean());
  m_fd = -1;
  m_used = 0;
  m_pBuffer = m_behind->Free();
  return true;
}

bool OutFile::SettleClosed(std::string& error) {
  if (m_fd >= 0) return Close(error);
  Settle();
  if (m_nErrno == 0) return true;
  error = TakeError();
  return false;
}

bool OutFile::Close(std::string& error) {
  if (m_fd < 0) return true;
  if (m_bUtf16) {
    ConvertBuffer(true);  // a character cut off by the end of the piece becomes U+FFFD
  } else {
    // Nothing may still be written to the descriptor once it is closed: this thread waits
    // for the buffers behind, so it writes the last bytes itself rather than wake the other.
    CleanHere();
    if (m_inPlace.empty()) WriteOut(m_pBuffer, m_used);
    SendInPlace();
    m_used = 0;
  }
  if (::close(m_fd) != 0 && m_nErrno == 0) m_nErrno = errno;
  m_fd = -1;
  if (m_nErrno == 0) return true;
  error = TakeError();
  return false;
}

}  // namespace sekato::engine

#include "outfile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sekato::engine {

namespace {
constexpr std::size_t kBufferSize = 1 << 18;
}

OutFile::OutFile() : m_buffer(kBufferSize) {}

OutFile::~OutFile() {
  std::string ignored;
  Close(ignored);
  if (m_cd != nullptr) iconv_close(static_cast<iconv_t>(m_cd));
}

void OutFile::ConvertUtf8To(const char* output) {
  iconv_t cd = iconv_open(output, "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) return;
  m_cd = cd;
  m_converted.resize(m_buffer.size() * 2 + 16);
}

bool OutFile::Create(const std::string& path, dev_t device, ino_t inode, bool& protectedHit,
                     std::string& error) {
  protectedHit = false;
  std::string ignored;
  Close(ignored);
  m_nErrno = 0;
  m_used = 0;
  // Open without truncating first, so that the source can be recognised before anything of
  // it is lost, whatever name (hard link, symbolic link) leads to it.
  m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (m_fd < 0) {
    error = std::strerror(errno);
    return false;
  }
  struct stat info {};
  if (::fstat(m_fd, &info) != 0) {
    error = std::strerror(errno);
    ::close(m_fd);
    m_fd = -1;
    return false;
  }
  if (info.st_dev == device && info.st_ino == inode) {
    protectedHit = true;
    ::close(m_fd);
    m_fd = -1;
    return false;
  }
  if (info.st_size != 0 && ::ftruncate(m_fd, 0) != 0) {
    error = std::strerror(errno);
    ::close(m_fd);
    m_fd = -1;
    return false;
  }
  return true;
}

void OutFile::WriteSlow(std::string_view bytes) {
  Flush();
  if (m_cd != nullptr) {  // everything goes through the buffer to be converted
    while (!bytes.empty() && m_nErrno == 0) {
      const std::size_t take = std::min(bytes.size(), m_buffer.size() - m_used);
      std::copy(bytes.begin(), bytes.begin() + static_cast<long>(take),
                m_buffer.begin() + static_cast<long>(m_used));
      m_used += take;
      bytes.remove_prefix(take);
      if (!bytes.empty()) Flush();
    }
    return;
  }
  if (bytes.size() <= m_buffer.size()) {
    std::copy(bytes.begin(), bytes.end(), m_buffer.begin());
    m_used = bytes.size();
    return;
  }
  // A line longer than the buffer goes straight to the file.
  while (!bytes.empty() && m_nErrno == 0 && m_fd >= 0) {
    const ssize_t done = ::write(m_fd, bytes.data(), bytes.size());
    if (done < 0) {
      if (errno != EINTR) m_nErrno = errno;
      continue;
    }
    bytes.remove_prefix(static_cast<std::size_t>(done));
  }
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
  std::size_t done = 0;
  while (done < size && m_nErrno == 0 && m_fd >= 0) {
    const ssize_t n = ::write(m_fd, data + done, size - done);
    if (n < 0) {
      if (errno != EINTR) m_nErrno = errno;
      continue;
    }
    done += static_cast<std::size_t>(n);
  }
}

void OutFile::ConvertBuffer() {
  auto cd = static_cast<iconv_t>(m_cd);
  char* in = m_buffer.data();
  std::size_t inLeft = m_used;
  char* out = m_converted.data();
  std::size_t outLeft = m_converted.size();
  while (inLeft > 0) {
    if (iconv(cd, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1)) break;
    if (errno == EINVAL && inLeft < 4) break;  // cut off: kept for the next write
    if (outLeft == 0) break;
    *out++ = *in++;  // not UTF-8: kept as it is
    --inLeft;
    --outLeft;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  WriteOut(m_converted.data(), m_converted.size() - outLeft);
  std::memmove(m_buffer.data(), in, inLeft);
  m_used = inLeft;
}

void OutFile::Flush() {
  if (m_cd != nullptr) {
    ConvertBuffer();
    return;
  }
  WriteOut(m_buffer.data(), m_used);
  m_used = 0;
}

bool OutFile::Close(std::string& error) {
  if (m_fd < 0) return true;
  Flush();
  if (m_used > 0) {  // a character cut off by the end of the piece goes out as it is
    WriteOut(m_buffer.data(), m_used);
    m_used = 0;
  }
  if (::close(m_fd) != 0 && m_nErrno == 0) m_nErrno = errno;
  m_fd = -1;
  if (m_nErrno != 0) {
    error = std::strerror(m_nErrno);
    m_nErrno = 0;
    return false;
  }
  return true;
}

}  // namespace sekato::engine

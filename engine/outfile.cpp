#include "outfile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
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

void OutFile::Flush() {
  std::size_t done = 0;
  while (done < m_used && m_nErrno == 0 && m_fd >= 0) {
    const ssize_t n = ::write(m_fd, m_buffer.data() + done, m_used - done);
    if (n < 0) {
      if (errno != EINTR) m_nErrno = errno;
      continue;
    }
    done += static_cast<std::size_t>(n);
  }
  m_used = 0;
}

bool OutFile::Close(std::string& error) {
  if (m_fd < 0) return true;
  Flush();
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

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

bool OutFile::Create(const std::string& path, const std::vector<FileId>& untouchable,
                     Refusal& refusal, std::size_t& hit, std::string& error) {
  refusal = Refusal::None;
  std::string ignored;
  Close(ignored);
  m_nErrno = 0;
  m_used = 0;
  const auto fail = [&](Refusal why, int reason) {
    refusal = why;
    if (reason != 0) error = std::strerror(reason);
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    return false;
  };
  // Open without truncating first, so that a file that must be kept can be recognised before
  // anything of it is lost, whatever name (hard link) leads to it. O_NOFOLLOW refuses a
  // symbolic link; O_NONBLOCK makes a FIFO without reader fail at once instead of waiting.
  m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0666);
  if (m_fd < 0) {
    const int reason = errno;
    return fail(reason == ELOOP || reason == ENXIO || reason == EISDIR ? Refusal::Special
                                                                       : Refusal::System,
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

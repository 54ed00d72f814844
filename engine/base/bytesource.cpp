#include "bytesource.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "fileops.h"

namespace sekato::engine {

bool ByteSource::Open(const std::string& path, std::string& error) {
  Close();
  struct stat info {};
  m_patched = PatchedFile::Find(path);
  m_fd = FileOps::OpenSource(m_patched ? m_patched->BasePath() : path, info, error);
  if (m_fd < 0) return false;
  m_nLength = m_patched ? m_patched->Length() : info.st_size;
  m_nPosition = 0;
  m_device = info.st_dev;
  m_inode = info.st_ino;
  return true;
}

void ByteSource::Close() {
  if (m_fd >= 0) ::close(m_fd);
  m_fd = -1;
  m_patched.reset();
}

ssize_t ByteSource::Read(char* out, std::size_t capacity) const {
  if (!m_patched) return FileOps::ReadSome(m_fd, out, capacity);
  const ssize_t got = m_patched->ReadAt(m_fd, out, capacity, m_nPosition);
  if (got > 0) m_nPosition += got;
  return got;
}

ssize_t ByteSource::ReadAt(char* out, std::size_t capacity, std::int64_t offset) const {
  if (m_patched) return m_patched->ReadAt(m_fd, out, capacity, offset);
  return FileOps::ReadSomeAt(m_fd, out, capacity, offset);
}

std::size_t ByteSource::ReadFullyAt(char* out, std::size_t size, std::int64_t offset,
                                    int& error) const {
  if (!m_patched) return FileOps::ReadFullyAt(m_fd, out, size, offset, error);
  error = 0;
  std::size_t done = 0;
  while (done < size) {
    const ssize_t got =
        m_patched->ReadAt(m_fd, out + done, size - done, offset + static_cast<std::int64_t>(done));
    if (got < 0) error = errno;
    if (got <= 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

}  // namespace sekato::engine

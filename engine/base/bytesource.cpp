#include "bytesource.h"

#include <sys/stat.h>
#include <unistd.h>

#include "fileops.h"

namespace sekato::engine {

bool ByteSource::Open(const std::string& path, std::string& error) {
  Close();
  struct stat info {};
  m_fd = FileOps::OpenSource(path, info, error);
  if (m_fd < 0) return false;
  m_nLength = info.st_size;
  m_device = info.st_dev;
  m_inode = info.st_ino;
  return true;
}

void ByteSource::Close() {
  if (m_fd >= 0) ::close(m_fd);
  m_fd = -1;
}

ssize_t ByteSource::Read(char* out, std::size_t capacity) const {
  return FileOps::ReadSome(m_fd, out, capacity);
}

ssize_t ByteSource::ReadAt(char* out, std::size_t capacity, std::int64_t offset) const {
  return FileOps::ReadSomeAt(m_fd, out, capacity, offset);
}

std::size_t ByteSource::ReadFullyAt(char* out, std::size_t size, std::int64_t offset,
                                    int& error) const {
  return FileOps::ReadFullyAt(m_fd, out, size, offset, error);
}

}  // namespace sekato::engine

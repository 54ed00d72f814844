#include "spillfile.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fileops.h"

namespace sekato::engine {

namespace {

int MakeUnnamed(const std::string& folder) {
  int fd = FileOps::Retrying(
      [&] { return ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600); });
  if (fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)) return fd;
  // A file system without unnamed files: a named one, unnamed at once.
  std::string path = folder + "/.sekato-spill-XXXXXX";
  fd = ::mkostemp(path.data(), O_CLOEXEC);
  if (fd >= 0) ::unlink(path.c_str());
  return fd;
}

}  // namespace

bool SpillFile::Open(const std::string& folder, std::string& error) {
  Close();
  const char* tmp = std::getenv("TMPDIR");
  std::string reason;
  for (const std::string& where :
       {folder.empty() ? std::string(".") : folder, std::string(tmp && *tmp ? tmp : "/tmp")}) {
    m_fd = MakeUnnamed(where);
    if (m_fd >= 0) return true;
    if (reason.empty()) reason = where + "：" + std::strerror(errno);
  }
  error = "无法建立暂存长行的临时文件（" + reason + "）";
  return false;
}

void SpillFile::Close() {
  if (m_fd >= 0) ::close(m_fd);
  m_fd = -1;
  m_nSize = 0;
}

bool SpillFile::Append(const char* data, std::size_t size, std::string& error) {
  if (const int reason = FileOps::WriteAllAt(m_fd, data, size, m_nSize); reason != 0) {
    error = std::string("暂存长行的临时文件写入失败：") + std::strerror(reason);
    return false;  // what went in past the old end is not counted: the next one overwrites it
  }
  m_nSize += static_cast<std::int64_t>(size);
  return true;
}

bool SpillFile::ReadAt(std::int64_t offset, char* data, std::size_t size,
                       std::string& error) const {
  if (offset < 0 || offset + static_cast<std::int64_t>(size) > m_nSize) {
    error = "暂存长行的临时文件中没有要读的位置";
    return false;
  }
  int reason = 0;
  if (FileOps::ReadFullyAt(m_fd, data, size, offset, reason) == size) return true;
  error = std::string("暂存长行的临时文件读取失败：") + std::strerror(reason != 0 ? reason : EIO);
  return false;
}

bool SpillFile::DropFront(std::int64_t bytes, std::string& error) {
  bytes = std::min(bytes, m_nSize);
  if (bytes <= 0) return true;
  const std::int64_t kept = m_nSize - bytes;
  std::vector<char> chunk(std::size_t{1} << 16);
  for (std::int64_t done = 0; done < kept;) {
    const auto step = static_cast<std::size_t>(std::min<std::int64_t>(kept - done, 1 << 16));
    if (!ReadAt(bytes + done, chunk.data(), step, error)) return false;
    if (const int reason = FileOps::WriteAllAt(m_fd, chunk.data(), step, done); reason != 0) {
      error = std::string("暂存长行的临时文件写入失败：") + std::strerror(reason);
      return false;
    }
    done += static_cast<std::int64_t>(step);
  }
  if (::ftruncate(m_fd, kept) != 0) {
    error = std::string("暂存长行的临时文件写入失败：") + std::strerror(errno);
    return false;
  }
  m_nSize = kept;
  return true;
}

}  // namespace sekato::engine

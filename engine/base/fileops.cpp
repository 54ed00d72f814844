#include "fileops.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace sekato::engine {

ssize_t FileOps::ReadSome(int fd, void* to, std::size_t size) {
  return Retrying([&] { return ::read(fd, to, size); });
}

ssize_t FileOps::ReadSomeAt(int fd, void* to, std::size_t size, std::int64_t offset) {
  return Retrying([&] { return ::pread(fd, to, size, offset); });
}

std::size_t FileOps::ReadFully(int fd, void* to, std::size_t size, int& error) {
  error = 0;
  std::size_t got = 0;
  while (got < size) {
    const ssize_t n = ReadSome(fd, static_cast<char*>(to) + got, size - got);
    if (n < 0) error = errno;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  return got;
}

std::size_t FileOps::ReadFullyAt(int fd, void* to, std::size_t size, std::int64_t offset,
                                 int& error) {
  error = 0;
  std::size_t got = 0;
  while (got < size) {
    const ssize_t n = ReadSomeAt(fd, static_cast<char*>(to) + got, size - got,
                                 offset + static_cast<std::int64_t>(got));
    if (n < 0) error = errno;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  return got;
}

int FileOps::WriteAll(int fd, const void* from, std::size_t size) {
  const auto* bytes = static_cast<const char*>(from);
  while (size > 0) {
    const ssize_t put = Retrying([&] { return ::write(fd, bytes, size); });
    if (put <= 0) return put < 0 ? errno : ENOSPC;
    bytes += put;
    size -= static_cast<std::size_t>(put);
  }
  return 0;
}

int FileOps::WriteAllAt(int fd, const void* from, std::size_t size, std::int64_t offset) {
  const auto* bytes = static_cast<const char*>(from);
  while (size > 0) {
    const ssize_t put = Retrying([&] { return ::pwrite(fd, bytes, size, offset); });
    if (put <= 0) return put < 0 ? errno : ENOSPC;
    bytes += put;
    size -= static_cast<std::size_t>(put);
    offset += put;
  }
  return 0;
}

int FileOps::WriteAllParts(int fd, iovec* parts, int count) {
  int first = 0;
  while (first < count && parts[first].iov_len == 0) ++first;
  while (first < count) {
    const ssize_t put = Retrying([&] { return ::writev(fd, parts + first, count - first); });
    if (put <= 0) return put < 0 ? errno : ENOSPC;
    auto left = static_cast<std::size_t>(put);
    while (first < count && left >= parts[first].iov_len) left -= parts[first++].iov_len;
    if (first < count) {
      parts[first].iov_base = static_cast<char*>(parts[first].iov_base) + left;
      parts[first].iov_len -= left;
    }
  }
  return 0;
}

bool FileOps::MakeDirectory(const std::string& path, std::string& error) {
  if (::mkdir(path.c_str(), 0777) == 0) return true;
  int reason = errno;
  if (reason == ENOENT) {
    // A level above is missing: make it, then this one. "a/b/" has the parent "a".
    std::size_t end = path.find_last_not_of('/');
    end = end == std::string::npos ? 0 : path.find_last_of('/', end);
    const std::string parent = end == std::string::npos ? std::string() : path.substr(0, end);
    if (parent.empty() || parent.find_first_not_of('/') == std::string::npos) {
      error = std::strerror(reason);
      return false;
    }
    if (!MakeDirectory(parent, error)) return false;
    if (::mkdir(path.c_str(), 0777) == 0) return true;
    reason = errno;
  }
  struct stat info {};
  if (reason == EEXIST && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
    return true;
  }
  error = std::strerror(reason == EEXIST ? ENOTDIR : reason);
  return false;
}

std::vector<std::string> FileOps::MissingFolders(const std::string& path) {
  std::vector<std::string> missing;
  std::string level = path;
  struct stat info {};
  while (true) {
    const std::size_t end = level.find_last_not_of('/');
    if (end == std::string::npos) break;  // the root, or nothing
    level.resize(end + 1);
    if (::lstat(level.c_str(), &info) == 0 || errno != ENOENT) break;
    missing.push_back(level);
    const std::size_t slash = level.find_last_of('/');
    if (slash == std::string::npos) break;
    level.resize(slash);
  }
  return missing;
}

void FileOps::RemoveFolders(const std::vector<std::string>& folders) {
  for (const std::string& folder : folders) {
    if (::rmdir(folder.c_str()) != 0) return;
  }
}

bool FileOps::RenameNoReplace(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
    return true;
  }
  if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return false;
  // No RENAME_NOREPLACE here: a hard link fails on an existing name just the same.
  if (::link(from.c_str(), to.c_str()) != 0) return false;
  if (::unlink(from.c_str()) != 0) {
    ::unlink(to.c_str());
    return false;
  }
  return true;
}

int FileOps::OpenSource(const std::string& path, struct stat& info, std::string& error) {
  // O_NONBLOCK: a FIFO without writer must not hold the run before it is seen to be one.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  int reason = 0;
  if (fd < 0 || ::fstat(fd, &info) != 0) {
    reason = errno;
  } else if (!S_ISREG(info.st_mode)) {
    reason = S_ISDIR(info.st_mode) ? EISDIR : ESPIPE;
  }
  if (reason != 0) {
    if (fd >= 0) ::close(fd);
    error = std::strerror(reason);
    return -1;
  }
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  return fd;
}

bool FileOps::SameDirectory(const std::string& a, const std::string& b) {
  struct stat infoA {};
  struct stat infoB {};
  return ::stat(a.c_str(), &infoA) == 0 && ::stat(b.c_str(), &infoB) == 0 &&
         S_ISDIR(infoA.st_mode) && infoA.st_dev == infoB.st_dev && infoA.st_ino == infoB.st_ino;
}

}  // namespace sekato::engine

#include "folderlock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "fileops.h"

namespace sekato::engine {

FolderLock::~FolderLock() {
  if (m_fd >= 0) ::close(m_fd);  // closing the last descriptor releases the lock
}

bool FolderLock::Take(const std::string& directory) {
  if (m_fd >= 0) ::close(m_fd);
  m_fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (m_fd < 0) return true;  // creating the pieces will say what is wrong with the folder
  // Another reason to fail than a lock held elsewhere: no locks on this file system.
  if (FileOps::Retrying([&] { return ::flock(m_fd, LOCK_EX | LOCK_NB); }) != 0 &&
      errno == EWOULDBLOCK) {
    ::close(m_fd);
    m_fd = -1;
    return false;
  }
  return true;
}

}  // namespace sekato::engine

#pragma once

#include <string>

namespace sekato::engine {

/// An exclusive lock on an output folder for the length of one run, so that two splits
/// never write their pieces into one folder at the same time.
///
/// The lock is the system's advisory lock (flock) on the folder itself: nothing is created
/// in the folder, nothing is left behind, and the system drops the lock when the program
/// ends in any way. On a file system that has no such locks the run goes on unlocked.
class FolderLock final {
 public:
  FolderLock() = default;
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  /// Takes the lock on `directory` without waiting; false only when another run holds it.
  bool Take(const std::string& directory);

 private:
  int m_fd = -1;
};

}  // namespace sekato::engine

#pragma once

#include <sys/stat.h>
#include <sys/types.h>
#include <sys/uio.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sekato::engine {

/// The file-system operations a split needs, and reads and writes that a signal cannot cut
/// short: every system call here is tried again when it fails with EINTR.
class FileOps final {
 public:
  /// Calls `call` again for as long as it fails with EINTR (returns a negative value with
  /// errno EINTR); returns its first other result. For calls without a helper below, e.g.
  /// `FileOps::Retrying([&] { return ::flock(fd, LOCK_EX); })`.
  template <typename Call>
  static auto Retrying(Call&& call) {
    auto result = call();
    while (result < 0 && errno == EINTR) result = call();
    return result;
  }

  /// One read(2) of at most `size` bytes: the bytes read (possibly fewer), 0 at the end, -1
  /// with errno set.
  static ssize_t ReadSome(int fd, void* to, std::size_t size);
  /// One pread(2) at `offset`, as ReadSome.
  static ssize_t ReadSomeAt(int fd, void* to, std::size_t size, std::int64_t offset);
  /// Reads until `size` bytes are in or the file ends: the number of bytes read. `error` is
  /// the errno of a failed read, 0 when all of it or the whole rest of the file came in.
  static std::size_t ReadFully(int fd, void* to, std::size_t size, int& error);
  /// ReadFully from `offset` on, with pread(2): the descriptor's position stays.
  static std::size_t ReadFullyAt(int fd, void* to, std::size_t size, std::int64_t offset,
                                 int& error);
  /// Writes all `size` bytes, going on after a short write: 0, or the errno of the write
  /// that failed (ENOSPC when one wrote nothing at all, so no caller waits forever).
  static int WriteAll(int fd, const void* from, std::size_t size);
  /// WriteAll at `offset`, with pwrite(2).
  static int WriteAllAt(int fd, const void* from, std::size_t size, std::int64_t offset);
  /// Writes `count` buffers in order with writev(2), going on after a short write: 0 or the
  /// errno as WriteAll. The entries of `parts` are changed to what was left.
  static int WriteAllParts(int fd, iovec* parts, int count);

  /// Creates a directory with every missing level above it ("out/a/b" when only "out" is
  /// there makes "out/a", then "out/a/b"). An existing directory is fine; anything else that
  /// stops the directory from being there (a level that is a file, no permission) fails with
  /// the system's reason in `error`.
  static bool MakeDirectory(const std::string& path, std::string& error);
  /// The levels of `path` that are not there, deepest first: what MakeDirectory would make,
  /// and what RemoveFolders takes away again. "out/a/b" when only "out" is there gives
  /// {"out/a/b", "out/a"}.
  static std::vector<std::string> MissingFolders(const std::string& path);
  /// Removes each of `folders` in order, as long as it is empty; stops at the first that
  /// cannot go.
  static void RemoveFolders(const std::vector<std::string>& folders);

  /// Renames `from` to `to` unless `to` exists: an existing file is never replaced.
  /// Uses renameat2(RENAME_NOREPLACE), or link and unlink where the file system lacks it.
  static bool RenameNoReplace(const std::string& from, const std::string& to);

  /// Opens a source for reading: only a regular file, never a directory or a FIFO (which
  /// would hold the run until a writer came). Returns the descriptor with `info` filled and
  /// the kernel told the file is read front to back; -1 with the reason in `error`.
  static int OpenSource(const std::string& path, struct stat& info, std::string& error);

  /// True when both paths name the same existing directory.
  static bool SameDirectory(const std::string& a, const std::string& b);
};

}  // namespace sekato::engine

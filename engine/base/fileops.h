#pragma once

#include <sys/stat.h>

#include <string>

namespace sekato::engine {

/// The few file-system operations a split needs beyond reading and writing.
class FileOps final {
 public:
  /// Creates a directory with every missing level above it ("out/a/b" when only "out" is
  /// there makes "out/a", then "out/a/b"). An existing directory is fine; anything else that
  /// stops the directory from being there (a level that is a file, no permission) fails with
  /// the system's reason in `error`.
  static bool MakeDirectory(const std::string& path, std::string& error);

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

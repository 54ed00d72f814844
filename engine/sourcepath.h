#pragma once

#include <string>

namespace sekato::engine {

/// The parts of a chosen source path that name the output.
struct SourcePath final {
  /// The path without the extension of its file name; a "." in a folder name does not count.
  /// Empty when the file name has no extension (so no folder can be made beside it).
  /// "/books/novel.txt" → "/books/novel"; "/my.books/novel" → ""; "/b/.hidden" → "".
  static std::string Base(const std::string& path);

  /// The file name without folder and extension: "/books/novel.txt" → "novel",
  /// "/books/a.b.txt" → "a.b", "/books/README" → "README".
  static std::string Title(const std::string& path);

  /// True when `path` leads to something other than a regular file: a FIFO, a device, a
  /// socket or a folder, which a split would wait on forever or read without end.
  /// "/dev/zero" → true; a missing file → false (opening it says what is wrong).
  static bool IsSpecialFile(const std::string& path);
};

}  // namespace sekato::engine

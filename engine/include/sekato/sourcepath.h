#pragma once

#include <string>

namespace sekato::engine {

/// The parts of a path, the one place that splits one: of the chosen source, what names the
/// output.
struct SourcePath final {
  /// The folder that holds the file: "/books/novel.txt" → "/books"; "/novel.txt" → "/";
  /// "novel.txt" → ".".
  static std::string Folder(const std::string& path);

  /// The file name without its folder: "/books/novel.txt" → "novel.txt".
  static std::string FileName(const std::string& path);

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

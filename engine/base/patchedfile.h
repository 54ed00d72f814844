#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace sekato::engine {

/// A file read as another file with some of its byte ranges replaced: a book whose few lines
/// the replacement rules changed is read as the book itself plus those lines, with no copy of
/// the whole text written anywhere.
///
/// It is published under a path (a placeholder file of its own), and every ByteSource opened
/// on that path reads it instead of the placeholder, until it is withdrawn.
///
/// Example: over the base "ab\ncd\nef\n" with the edit {offset 3, length 3, "X\n"} and the end
/// 9, the bytes read are "ab\nX\nef\n" (Length() 8); ReadAt from 4 gives "\nef\n".
class PatchedFile final {
 public:
  /// `length` bytes of the base from `offset` on read as `bytes`.
  struct Edit {
    std::int64_t offset = 0;
    std::int64_t length = 0;
    std::string bytes;
  };

  /// The first `baseEnd` bytes of the file at `basePath`, with `edits` (in order, not
  /// overlapping, all within `baseEnd`).
  PatchedFile(std::string basePath, std::int64_t baseEnd, std::vector<Edit> edits);

  const std::string& BasePath() const { return m_strBase; }
  /// The bytes it reads as.
  std::int64_t Length() const { return m_nLength; }

  /// Up to `capacity` bytes from `offset` on, the base read through `fd`: the number read, 0
  /// at the end, -1 with errno set when reading the base fails.
  ssize_t ReadAt(int fd, char* out, std::size_t capacity, std::int64_t offset) const;

  /// Every ByteSource opened on `path` from now on reads `file`.
  static void Publish(const std::string& path, std::shared_ptr<const PatchedFile> file);
  /// `path` is read as itself again.
  static void Withdraw(const std::string& path);
  /// What is published under `path`; null when nothing is.
  static std::shared_ptr<const PatchedFile> Find(const std::string& path);

 private:
  std::string m_strBase;
  std::int64_t m_nBaseEnd;
  std::vector<Edit> m_edits;
  std::vector<std::int64_t> m_starts;  ///< where each edit's bytes begin in what is read
  std::int64_t m_nLength = 0;
};

}  // namespace sekato::engine

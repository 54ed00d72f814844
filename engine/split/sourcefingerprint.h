#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sekato/chapterlist.h"
#include "sekato/encoding.h"
#include "sekato/message.h"

namespace sekato::engine {

/// What tells one book from another, and how many lines it has: read in one pass before a
/// split by a chapter list, so that a list made for another book, or one that names a line
/// the book does not have, is refused before anything is written.
///
/// The hash is XXH3 (64 bits) of the file's bytes, as 16 lower-case hex digits. Lines count
/// as the chapter list counts them: "a\r\nb\n\nc" has 4, "a\n" has 1, an empty file none.
/// In a UTF-16 source a line ends at the code unit U+000A.
struct SourceFingerprint {
  std::int64_t bytes = 0;
  std::string hash;  ///< empty when not asked for
  std::int64_t lines = 0;

  bool read = true;  ///< false when the book was left unread for its size alone

  /// What a split at the list's lines learns from the same reading (see Of's `list`): where
  /// each listed line starts, and whether the split would write the book's bytes as they lie.
  struct Layout {
    std::vector<std::int64_t> starts;  ///< see LineStarts::Starts
    bool bareFeeds = false;            ///< see LineStarts
    bool emptyListed = false;
    bool firstLineEmpty = false;
    bool endsInFeed = false;  ///< the last line has its line feed
    bool invalid = false;     ///< UTF-8 only: a byte begins no valid character
  };
  std::optional<Layout> layout;  ///< only when asked for, and the book was read as it lies

  /// Sees the book's bytes as they are read, a chunk at a time and in order, on the caller's
  /// thread, while the next chunks are read, hashed and counted on another.
  class Reading {
   public:
    /// One chunk, with what the count knew by its end: the listed lines' starts found so far
    /// (`starts[0]` to `starts[known - 1]`, see LineStarts::Starts), and whether the book's
    /// bytes would change on their way into the pieces (a bare line feed, an empty first or
    /// listed line).
    struct Chunk {
      const char* data;
      std::size_t size;
      const std::int64_t* starts;
      std::size_t known;
      bool changes;
    };
    virtual ~Reading() = default;
    /// False ends the reading there: Of then tells of the bytes read so far.
    virtual bool Take(const Chunk& chunk) = 0;
  };

  /// Reads `path` once; `withHash` also hashes it. Nothing, with `message` set, when the
  /// source cannot be read. A book on disk whose size is not `sizeWanted` (when that is 0 or
  /// more) is not read at all: only `bytes` is set, and Refusal takes it for another book,
  /// so a list checked without force gives `sizeWanted` and a forced one -1. Example: a list
  /// of a 9-byte book given for a 200 MB one is refused after a stat, not a read of 200 MB.
  /// With `list` (not in UTF-16, nor for a book read with changed lines) `layout` is set too,
  /// and `reading`, when given, sees every chunk once it was hashed and counted.
  static std::optional<SourceFingerprint> Of(const std::string& path, Encoding encoding,
                                             bool withHash, Message& message,
                                             std::int64_t sizeWanted = -1,
                                             const ChapterList* list = nullptr,
                                             Reading* reading = nullptr);

  /// Why `list` cannot cut this book, naming its first bad entry (from 1); nothing when it
  /// can. A list made for another book (its size or hash differ) is taken with `force` as
  /// long as every line it names is still there.
  std::optional<Message> Refusal(const ChapterList& list, bool force,
                                 const std::string& path) const;
};

}  // namespace sekato::engine

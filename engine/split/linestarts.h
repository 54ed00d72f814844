#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "sekato/chapterlist.h"

namespace sekato::engine {

/// Reads a book's bytes a chunk at a time, in order, and notes what a split at listed lines
/// needs to know of it without reading it again: how many line feeds it holds, where each
/// listed line starts, and whether its lines would come out of the split as they lie.
///
/// Lines count as the chapter list counts them (a line ends at a line feed). A listed line
/// is looked for only while the list ascends; whether the book has it is the check's to say
/// (the line after a last line feed is noted at the book's end). Bytes
/// are the source's as they lie (GBK, GB18030, Big5, UTF-8: a line feed is always 0x0A).
///
/// Example: "a\r\n\r\nb\nc" with lines {1, 2, 4} listed gives 3 feeds, starts {0, 3, 7},
/// an empty listed line (2), and a bare feed (after "b").
class LineStarts final {
 public:
  /// `list` (it outlives the object) names the lines whose starts are wanted; null for none.
  explicit LineStarts(const ChapterList* list);

  /// The next `size` bytes of the book.
  void Add(const char* data, std::size_t size);

  std::int64_t Feeds() const { return m_nFeeds; }
  /// Where each listed line starts, in the list's order, as far as they were found. Room for
  /// one start an entry is kept from the first: the starts found stay where they are while
  /// more are added.
  const std::vector<std::int64_t>& Starts() const { return m_starts; }
  /// True when a line feed has no carriage return right before it: the split writes every
  /// line break as CR LF, so such a book's bytes change.
  bool BareFeeds() const { return m_bBareFeeds; }
  /// True when a listed line is empty ("" or a lone CR before its feed): it opens its
  /// chapter at the next line with text instead.
  bool EmptyListed() const { return m_bEmptyListed; }
  /// True when the book's first line is empty: such a line, at the start of a piece without
  /// head text, writes no break.
  bool FirstLineEmpty() const { return m_bFirstEmpty; }

 private:
  /// Moves on to the next listed line, while the list ascends.
  void Advance();
  /// The line that starts at `at` of the chunk `data` (perhaps at its very end): notes
  /// whether it is empty, or leaves that open for the next chunk.
  void Note(const char* data, std::size_t at, std::size_t size);
  /// Looks at the bytes a line start left undecided by the end of the last chunk.
  void Settle(const char* data, std::size_t size);
  void Decide(bool empty);
  /// The line feeds `lf` and carriage returns `cr` of the `n` bytes at `at` (bit i: byte
  /// at + i), with the listed lines among them noted.
  inline void Take(std::uint64_t lf, std::uint64_t cr, std::size_t n, std::size_t at,
                   const char* data, std::size_t size);
  void ScanBytes(const char* data, std::size_t from, std::size_t end, std::size_t size);
  void ScanAvx2(const char* data, std::size_t size);

  const ChapterList* m_pList;
  std::size_t m_nNext = 0;  ///< the listed entry looked for next
  std::int64_t m_nWant = 0;  ///< the feeds before its line; -1 when none is looked for
  std::int64_t m_nFeeds = 0;
  std::int64_t m_nOffset = 0;  ///< bytes added so far
  bool m_bPrevCr = false;      ///< the last byte added was a CR
  std::vector<std::int64_t> m_starts;
  bool m_bBareFeeds = false;
  bool m_bEmptyListed = false;
  bool m_bFirstEmpty = false;
  /// A listed line (or the first) started where the chunk ended, or after a lone CR there:
  /// whether it is empty waits for the next bytes.
  enum class Open { None, AtStart, AfterCr } m_open = Open::None;
  bool m_bOpenIsFirst = false;
  bool m_bOpenIsListed = false;
};

}  // namespace sekato::engine

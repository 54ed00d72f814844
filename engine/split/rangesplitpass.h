#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <optional>

#include "sekato/chapterlist.h"
#include "sekato/encoding.h"
#include "sekato/splithost.h"
#include "sourcefingerprint.h"

namespace sekato::engine {

class ByteSource;
class PieceWriter;

/// A split whose pieces hold byte ranges of the source as they lie, for a book the line by
/// line pass (SplitPass) would write unchanged: no conversion, no clean-up, every line
/// feed with its CR, and where each piece starts known before anything is written (a
/// chapter list's lines, found while the list was checked). A piece is then its head text,
/// the source's bytes from its start to the next piece's start, copied by the kernel without
/// passing through the process, and its ending: one copy of the book instead of a read and
/// a write.
///
/// The pieces are byte for byte SplitPass's. It writes a line break before every line but a
/// piece's first, into the piece the line before went to: a piece keeps the break after its
/// last line, and only the book's very last line break is never written. So `end` is the
/// book's length less that break. Example: "序\r\n第一章\r\n甲\r\n第二章\r\n乙\r\n" with
/// pieces at 0 and 19 (第二章) and `end` 29 gives "序\r\n第一章\r\n甲\r\n" and "第二章\r\n乙".
///
/// Progress is told and a stop looked for before each piece and every few MiB within one;
/// a stop, a failed write and a source cut short end the run as they end SplitPass's.
class RangeSplitPass final {
 public:
  /// One piece: where it starts in the source, and the title that names it once it is
  /// closed, under title names; null keeps its sequence name.
  struct Piece {
    std::int64_t start = 0;
    const std::string* title = nullptr;
    Encoding encoding = Encoding::Utf8;  ///< the title's
  };

  /// What the run reports beyond the pieces.
  struct Settings {
    std::string_view sourcePath;  ///< named when the source turns out cut short
    std::string_view directory;   ///< where the pieces go, for the tally
    std::int64_t headings = 0;    ///< the headings cut at, for the tally
  };

  /// The pieces a split at the lines of `list`, `perFile` chapters a piece, cuts a book of
  /// `layout` into; nothing when this pass would not write SplitPass's pieces: the book has a
  /// bare line feed, a byte not valid, an empty first or listed line (those move a cut or
  /// drop a break), a listed line was not found, or title names want a heading line's own
  /// text (the list gives no title for it). perFile 2, lines {3, 5, 9}: pieces at 0 and at
  /// line 9's start, named after the titles of lines 3 and 9.
  static std::optional<std::vector<Piece>> PiecesFor(const ChapterList& list,
                                                     const SourceFingerprint::Layout& layout,
                                                     std::int64_t perFile, bool titleNames);
  /// Where the text of a book of `bytes` ends for the pieces: before its last line break.
  static std::int64_t TextEnd(std::int64_t bytes, const SourceFingerprint::Layout& layout) {
    return layout.endsInFeed ? bytes - 2 : bytes;
  }

  /// Every object outlives the pass; the pass closes `writer` as it ends.
  RangeSplitPass(const ByteSource& source, PieceWriter& writer, SplitHost& host,
                 const Settings& settings);

  /// Writes `pieces` (ascending starts, the first where the text starts) up to `end`, from
  /// the piece `first` on: a later one when the writer has written those before it already.
  SplitEnd Run(const std::vector<Piece>& pieces, std::int64_t end, std::size_t first = 0);

  /// Bytes copied between two looks at the host.
  static constexpr std::int64_t kStepBytes = std::int64_t{4} << 20;

 private:
  /// Copies [from, to) into the open piece, looking at the host between steps. False when
  /// the run cannot go on: stopped, the write failed, or the source ended first.
  bool Copy(std::int64_t from, std::int64_t to);
  /// Closes the open piece with its ending and gives it its title name.
  bool ClosePiece(const Piece& piece);
  SplitEnd Fail(const Message& message);
  /// The end of a run that wrote every piece.
  SplitEnd Completed();
  SplitEnd Stopped();
  RunTally KeptTally() const;

  const ByteSource& m_source;
  PieceWriter& m_writer;
  SplitHost& m_host;
  Settings m_settings;
  bool m_bStopped = false;
  bool m_bShort = false;       ///< the source ended before `end`
  std::int64_t m_nReached = 0;  ///< source offset copied up to
};

}  // namespace sekato::engine

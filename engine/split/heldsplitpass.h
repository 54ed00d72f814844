#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "rangesplitpass.h"
#include "sekato/chapterlist.h"
#include "sekato/splithost.h"
#include "sourcefingerprint.h"

namespace sekato::engine {

class PieceWriter;

/// A split at a chapter list's lines written while the list is checked against the book:
/// the check's reading hands on each chunk once it is hashed and scanned (see
/// SourceFingerprint::Reading), and its bytes go straight into the pieces as soon as the scan
/// has passed the line that ends them. The pieces are held without a name
/// (PieceWriter::Hold) until the check has passed; a refused list or a stop leaves none of
/// them. The book is then read once and written once, instead of read for the check and
/// copied after it. Short pieces cost more in links than the check they overlap: they are
/// claimed instead (`named`, see PieceWriter::Claim), written under their names from the
/// start where nothing has those names yet, and taken away again as held ones are let go.
///
/// The pieces are RangeSplitPass's, byte for byte: head text, the book's bytes from the
/// piece's start to the next one's, the ending; the last ends before the book's last line
/// break, which it gives back once the book is seen to end in one. Example: "序\r\n第一章\r\n甲\r\n"
/// with line 2 listed gives one piece "序\r\n第一章\r\n甲", written as "序\r\n第一章\r\n甲\r\n"
/// while the end was not known and shortened by 2 at Finish.
///
/// At most `most` pieces are held (claimed ones keep no file open and have no bound); those
/// after them are copied by RangeSplitPass once the check has passed. When a held piece
/// cannot be made or written (a claimed one also where a file has its name already), or the
/// book turns out unfit for byte ranges, the pass lets go of what it holds and only watches:
/// the run then goes on as it would without it.
class HeldSplitPass final : public SourceFingerprint::Reading {
 public:
  struct Settings {
    std::int64_t perFile = 1;
    bool titleNames = false;
    std::int64_t length = 0;  ///< the book's size as opened, for progress
    std::size_t most = 0;     ///< pieces held at most
    bool named = false;       ///< claimed under their names rather than held
  };

  /// Every object outlives the pass; `writer` is set to hold its pieces.
  HeldSplitPass(const ChapterList& list, PieceWriter& writer, SplitHost& host,
                const Settings& settings);

  bool Take(const Chunk& chunk) override;

  /// True when the host asked to stop while the book was read: nothing is held then.
  bool Stopped() const { return m_state == State::Stopped; }
  /// The position progress last told.
  std::int64_t Shown() const { return m_nShown; }
  /// True when the pieces so far are held, every one of them from the first.
  bool Holds() const { return m_state == State::Writing || m_state == State::Full; }

  /// After a check that passed, for the `pieces` RangeSplitPass::PiecesFor gave: ends the
  /// open piece at `end` (see RangeSplitPass::TextEnd) and names the held ones. The first
  /// piece still to be written (pieces.size() when none is), or nothing when naming one
  /// failed (the writer says why).
  std::optional<std::size_t> Finish(const std::vector<RangeSplitPass::Piece>& pieces,
                                    std::int64_t end);
  /// Lets go of everything held.
  void Drop();

  /// Bytes read between two looks at the host.
  static constexpr std::int64_t kStepBytes = RangeSplitPass::kStepBytes;

 private:
  enum class State {
    Writing,  ///< every byte so far is in a held piece
    Full,     ///< `most` pieces are held; the rest waits for the check
    Watching, ///< nothing is held: the run goes on as without the pass
    Stopped,
  };
  /// Writes `chunk`, which starts at `from` in the book, into the pieces; false when
  /// writing failed.
  bool Write(const Chunk& chunk, std::int64_t from);
  bool ClosePiece(std::size_t piece);
  void GiveUp();

  const ChapterList& m_list;
  PieceWriter& m_writer;
  SplitHost& m_host;
  Settings m_settings;
  State m_state = State::Writing;
  bool m_bOpened = false;
  std::size_t m_nOpen = 0;      ///< the piece being written, once opened
  std::int64_t m_nRead = 0;     ///< bytes seen so far
  std::int64_t m_nLookAt = 0;   ///< where the host is asked next
  std::int64_t m_nShown = 0;    ///< the position progress last told
};

}  // namespace sekato::engine

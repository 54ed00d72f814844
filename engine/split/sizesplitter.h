#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "piecewriter.h"
#include "splitter.h"
#include "sekato/textrules.h"

namespace sekato::engine {

/// Cuts the source by size (size mode) or into nearly equal parts (even mode).
///
/// Lines go into the current piece while count + line ≤ limit + allowance. The line that
/// crosses is cut at the largest character boundary at or below limit − count (so a
/// two-byte character is never split), or, in size mode with keep-lines, moved whole into
/// the next piece. The rest of a cut line is written whole, even when longer than the limit.
///
/// Example: limit 1024, count 1002 after the line break, a 40-byte Chinese line: room 22,
/// the first 22 bytes close the piece at exactly 1024 bytes, the other 18 open the next.
class SizeSplitter final : public Splitter {
 public:
  struct Limits {
    std::int64_t limit = 0;      ///< count up to which a cut line fills a piece
    std::int64_t allowance = 0;  ///< extra room for a whole line (tail and promotional line)
  };

  /// Size mode: `kb` × 1024 bytes, no allowance. 1000 → 1,024,000.
  static Limits ForSize(std::int64_t kb);

  /// Even mode: length / parts + 1, plus head text + 2, plus tail + 4 (also as allowance),
  /// plus 12 for the promotional line (also as allowance). L 10,000, 5 parts, promotional
  /// line on: limit 2,013, allowance 12.
  static Limits ForParts(std::int64_t length, std::int64_t parts, const PieceLayout& layout);

  /// `rules` are those of the run's text (where characters end, what a cut writes).
  SizeSplitter(Limits limits, bool keepLines, PieceWriter& writer,
               const TextRules& rules = TextRules::For(Encoding::Gbk));

  bool HandleLine(std::string_view line) override;

  /// The same for a line too long to hold, given in parts (`last` on its final part), each
  /// ending at a character boundary. The bytes up to the cut go out as they come, and what
  /// lies past the limit is held only until the line either ends (it fitted after all) or
  /// passes limit + allowance (it is cut), so a few bytes of allowance are all that is held
  /// beyond one part. With keep-lines, StartLongLine comes first.
  bool HandlePart(std::string_view part, bool last) override;

  /// Keep-lines only: a long line is about to come in parts, its whole length measured
  /// ahead. It is placed as HandleLine places a line (kept where it fits, else moved whole
  /// into the next piece), and its parts are then written as they come. False when a piece
  /// could not be closed or opened.
  bool StartLongLine(std::int64_t length) override;

  /// The most bytes of lines, with the breaks between them, that surely go into this piece
  /// whole once a line break is written: negative when not even that fits.
  /// Limit 1,024, count 1,000: 22.
  std::int64_t RunRoom() const override {
    return m_limits.limit + m_limits.allowance - m_writer.Count() - m_writer.BreakBytes();
  }

  /// Lines no longer together than RunRoom.
  void HandleRun(char* lines, std::size_t size) override { m_writer.WriteRun(lines, size); }

  /// Keep-lines only: line lengths above WholeLineRoom all move the line, so measuring
  /// further tells nothing. Without keep-lines long lines are cut as they come.
  std::optional<std::int64_t> LongLineRoom() const override {
    if (!m_bKeepLines) return std::nullopt;
    return WholeLineRoom();
  }

 private:
  std::int64_t WholeLineRoom() const {
    return m_limits.limit + m_limits.allowance - m_writer.Count();
  }

  Limits m_limits;
  bool m_bKeepLines;
  PieceWriter& m_writer;
  const TextRules& m_rules;
  // A long line in progress.
  bool m_bInLong = false;
  bool m_bCut = false;             ///< the piece was already cut in this line
  std::int64_t m_nStartCount = 0;  ///< the piece's count where the line began
  std::int64_t m_nSoFar = 0;       ///< bytes of the line seen so far
  std::string m_strHeld;           ///< bytes past the cut point, not yet placed
};

}  // namespace sekato::engine

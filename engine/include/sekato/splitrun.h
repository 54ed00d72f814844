#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "sekato/splithost.h"
#include "sekato/splitoptions.h"

namespace sekato::engine {

class HeldSplitPass;
class LineReader;
class RunEncodings;
class SourceDecoder;
class TextRules;

/// One split of one source file into pieces.
///
/// The run works on its own copy of the options and talks to its caller only through the
/// host. It reads the source once, line by line, and holds nothing beyond the current line;
/// memory does not grow with the source.
///
/// Example: with the default options (chapter mode, keywords "第  章", one chapter a piece)
/// a source "/books/novel.txt" becomes "/books/novel/novel_001.txt", "novel_002.txt", …
class SplitRun final {
 public:
  SplitRun(SplitOptions options, SplitHost& host);

  /// Runs the split to its end: how it ended, what to tell the user, and what it wrote.
  SplitEnd Execute();

  /// Lines longer than this are read in parts (see LineReader), which keeps memory bounded
  /// for any line and lets a stop take effect within one: 1 MiB unless a test wants parts to
  /// come often. Such a line is never a heading; keep-lines measures it ahead and moves it
  /// whole like any other line. 0 reads every line whole, however long.
  void SetPartLimit(std::size_t bytes) { m_nPartLimit = bytes; }

  /// Runs of lines whose handling is plain (no conversion, no clean-up, no heading and no
  /// cut among them) are taken from the source and written at once rather than line by
  /// line; off, every line goes alone. The pieces are the same either way, so tests compare
  /// the two.
  void SetLineRuns(bool on) { m_bLineRuns = on; }

  /// A split by a chapter list of a book it writes as it lies (no conversion, no clean-up,
  /// every line feed with its CR) copies each piece's bytes from the source in the kernel,
  /// where the check of the list found them (see RangeSplitPass), rather than reading the
  /// book line by line once more; off, it always goes line by line. So does a split by the
  /// headings detection found, cut where the lines detection kept place them (see
  /// SplitDetected). The pieces are the same either way, so tests compare the two.
  void SetRangeCopies(bool on) { m_bRangeCopies = on; }

  /// Such a split writes its pieces while the list is checked, held in files without a name
  /// until the check has passed (see HeldSplitPass); off, or where the output folder's file
  /// system has no such files, the list is checked first and the pieces copied after.
  void SetHeldPieces(bool on) { m_bHeldPieces = on; }
  /// Off, the output folder is taken for one whose file system has no files without a name:
  /// tests reach the way a run goes on then.
  void SetUnnamedFiles(bool on) { m_bUnnamedFiles = on; }
  /// Pieces are held only where they are this long on average (in bytes): shorter ones go
  /// under their names at once where nothing has those names yet, and are taken away again
  /// when the check fails (see PieceWriter::Claim). Tests hold even the shortest with 0.
  void SetHeldFrom(std::int64_t bytes) { m_nHeldFrom = bytes; }
  static constexpr std::int64_t kHeldFrom = std::int64_t{128} << 10;
  /// At most this many pieces are held (-1: as many as the open files allowed leave room
  /// for); those after them are copied once the check has passed.
  void SetMostHeld(std::int64_t pieces) { m_nMostHeld = pieces; }

  /// Sources from this long on pay for a reading thread of their own, which reads this many
  /// bytes at a time.
  static constexpr std::int64_t kReadAheadFrom = std::int64_t{8} << 20;
  static constexpr std::size_t kChunkBytes = std::size_t{1} << 18;

  /// A source from `fromBytes` long on (-1: none) is read ahead on a thread of its own,
  /// `chunkBytes` at a time; the pieces are the same either way.
  void SetReadAhead(std::int64_t fromBytes, std::size_t chunkBytes) {
    m_nReadAheadFrom = fromBytes;
    m_nAheadChunk = chunkBytes;
  }

  /// Size mode: pieces of at most `bytes` instead of the options' KB (-1: the options'), so
  /// that tests can cut after every line with 0, which the options refuse.
  void SetSizeLimitBytes(std::int64_t bytes) { m_nSizeLimitBytes = bytes; }

  /// The largest the reading buffer grew to in the run: above the part limit only when a
  /// line was held whole.
  std::size_t LargestBuffer() const { return m_nLargestBuffer; }

  /// True when the run's pieces were cut after detection by copies of byte ranges (see
  /// SetRangeCopies), not written line by line.
  bool CutDetectedByRanges() const { return m_bDetectedRanges; }

 private:
  struct Plan;
  struct Detected;
  /// With replacement rules or a conversion: the book is transformed into a file of its own
  /// first, which a run without them then splits.
  SplitEnd ExecuteTransformed();
  /// With automatic detection: the book is surveyed first, then split by the rule found.
  SplitEnd ExecuteDetected();
  /// The pieces' layout (folder, names, head and tail text) from the options and the plan.
  void LayOut(Plan& plan) const;

  /// True when the pieces go into volume folders: asked for, and no list cuts the book.
  bool VolumeFolders() const;
  /// Puts the book text into the run's encoding; why not, when a character cannot be.
  std::optional<Message> ToRunText(Plan& plan) const;

  /// Chapter mode with a list, or with chapters chosen: checks the list against the source,
  /// or makes it from the rule, before anything is written. How the run ends when it cannot
  /// go on; nothing when it can.
  std::optional<SplitEnd> PrepareList(Plan& plan) const;
  /// True when the options let a chapter split copy byte ranges of the book: every chapter
  /// into pieces of its own, nothing cleaned up, no volume folders.
  bool RangeOptions() const;
  /// True when, moreover, the book's bytes go into the pieces as they lie: read as they lie
  /// or only checked (UTF-8), into pieces of the same encoding, without a mark.
  bool BytesAsTheyLie(const Plan& plan) const;
  /// True when a split by the options' list might copy byte ranges: the list is checked
  /// then for what that needs too.
  bool RangesPossible(const Plan& plan) const;
  /// After detection (m_pDetected): the book is cut by byte ranges at the pieces the rule
  /// found gives among the lines detection kept, when its bytes go into the pieces as they
  /// lie and it is the book detection read; nothing when the run goes line by line instead
  /// (m_onlyLines set for it).
  std::optional<SplitEnd> SplitDetected(Plan& plan);
  /// The split by copies of byte ranges, when the check found the book fit for it.
  std::optional<SplitEnd> SplitByRanges(Plan& plan);
  /// Reads the book once to check the options' list against it, handing it to `held` as it
  /// goes (may be null); notes what a split by byte ranges needs. How the run ends when the
  /// list is refused or the book cannot be read; nothing when the list is fit.
  std::optional<SplitEnd> CheckList(Plan& plan, HeldSplitPass* held) const;
  /// True when the list may be checked while the pieces are written: a split by byte ranges
  /// is possible, and everything the check could refuse before reading is fine.
  bool CheckWhileWriting(const Plan& plan) const;
  /// A run whose list was to be checked while writing but that ends before: the check comes
  /// first after all, and a refusal takes back the folders the run made.
  std::optional<SplitEnd> CheckHeldNow(Plan& plan) const;
  /// The split whose list is checked while its pieces are written; nothing when it went on
  /// as without the held pieces (the check passed, and `plan` has what it found).
  std::optional<SplitEnd> SplitHeld(Plan& plan);
  /// Reads the source and writes the pieces, once the options are known to be usable.
  SplitEnd Split(Plan& plan);
  /// Split's second half, once `source` is open and set up: makes the writer and the
  /// splitter and runs the pass over the source, read through `decoder` when it converts.
  SplitEnd WritePieces(Plan& plan, LineReader& source, const SourceDecoder& decoder);
  /// Even mode on converted text: the length of the whole text as the pieces count it,
  /// measured in a pass of its own, with room for a character more in each of `parts`
  /// (see the definition); -1 when the run was stopped meanwhile.
  std::int64_t ConvertedLength(const RunEncodings& encodings, const TextRules& rules,
                               std::int64_t parts);

  SplitOptions m_options;
  SplitHost& m_host;
  /// After detection: the only lines that can be headings (see ChapterSplitter::OnlyAtLines);
  /// empty when any line can.
  std::vector<std::int64_t> m_onlyLines;
  /// After detection, when the run may be cut by byte ranges: what detection kept of the
  /// book (it outlives the run); null otherwise.
  Detected* m_pDetected = nullptr;
  std::size_t m_nPartLimit = std::size_t{1} << 20;
  std::size_t m_nLargestBuffer = 0;
  bool m_bLineRuns = true;
  bool m_bRangeCopies = true;
  bool m_bDetectedRanges = false;
  bool m_bHeldPieces = true;
  bool m_bUnnamedFiles = true;
  std::int64_t m_nHeldFrom = kHeldFrom;
  std::int64_t m_nMostHeld = -1;
  std::int64_t m_nReadAheadFrom = kReadAheadFrom;
  std::size_t m_nAheadChunk = kChunkBytes;
  std::int64_t m_nSizeLimitBytes = -1;
};

}  // namespace sekato::engine

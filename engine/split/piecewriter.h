#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "outfile.h"
#include "piecenamer.h"
#include "sekato/encoding.h"
#include "sekato/message.h"
#include "sekato/runtally.h"

namespace sekato::engine {

class TextRules;

/// What every piece of a run looks like: where it goes, its name, its head and its ending.
/// Paths and the name part are file-system names (UTF-8); head, tail, the promotional line
/// and the preamble are text of the run (GBK unless `rules` says otherwise).
struct PieceLayout {
  std::string directory;
  PieceNamer namer;
  bool addHead = false;
  std::string head;
  bool addTail = false;
  std::string tail;
  bool addPromotion = true;
  std::string promotion;
  /// The run's text and how it is written; null for GBK written as it is.
  const TextRules* rules = nullptr;
  /// Written at the very start of every piece and not counted: the byte-order mark.
  std::string preamble;
  /// When set, the run writes one file of this name (chapters joined) instead of numbered
  /// pieces.
  std::string joinedName;
  /// Pieces may go into volume folders (see PieceWriter::EnterFolder): the pieces written
  /// before the first are remembered, to follow it there.
  bool volumeFolders = false;
  /// Full buffers may be written on a thread of their own (see OutFile::AllowWriteBehind).
  bool writeBehind = false;
};

/// Writes the numbered pieces of one run and counts the bytes of the current piece.
///
/// The count is the piece's size on disk up to its last line: the head text and every line
/// break (CR LF, 2 bytes) included, the tail and promotional line excluded; a run cleaned
/// behind (see CleanRuns) counts as long as it was before clean-up. A piece is laid
/// out as [head "\n"] lines joined by "\n" for the first piece, [head "\n" "\n"] first line
/// … for the later ones, then ["\n\n" tail] ["\n\n" promotional line] when closed normally.
class PieceWriter final {
 public:
  /// `sourceDevice`/`sourceInode` name the source file, which no piece may ever replace.
  PieceWriter(PieceLayout layout, dev_t sourceDevice, ino_t sourceInode);
  ~PieceWriter();
  PieceWriter(const PieceWriter&) = delete;
  PieceWriter& operator=(const PieceWriter&) = delete;

  /// directory/namePart_NNN.txt, or directory/folder/namePart_NNN.txt in a volume folder.
  std::string PiecePath(std::int64_t number) const;

  /// Pieces opened from now on go into the subfolder `name` of the run's folder, made when
  /// missing. The first time, the pieces written so far straight into the run's folder (the
  /// preface's, and chapters before the first volume) move into it too, the open one
  /// included, so the preface lies with the first volume. Needs PieceLayout::volumeFolders.
  /// False, with ErrorMessage(), when the folder cannot be made or a piece not moved.
  bool EnterFolder(const std::string& name);
  /// The volume folder pieces go into now; empty before the first.
  const std::string& Folder() const { return m_strFolder; }
  /// The volume folders entered so far, with the first piece of each.
  const std::vector<RunTally::Folder>& Folders() const { return m_folders; }

  /// Piece 001 with its head text.
  bool OpenFirst();
  /// The next piece with its head text and an empty line after it.
  bool OpenNext();

  void WriteLine(std::string_view line) {
    if (m_bQuiet) {
      m_bBreakHeld = false;  // the break went with a line left out
      return;
    }
    m_file.Write(line);
    m_nCount += m_bMeasured ? Written(line) : static_cast<std::int64_t>(line.size());
  }
  /// Runs of lines given to WriteRun are cleaned up first, as runs of `rules`' text are (see
  /// RunCleaner). With `behind` the writing thread may clean them (see
  /// OutFile::WriteRunToClean): the count then takes a run at its length before clean-up,
  /// so this is for a run whose splitter asks only whether a piece holds text, not how much.
  void CleanRuns(const TextRules& rules, bool behind) {
    m_file.CleanRunsAs(rules);
    m_bCleanRuns = true;
    m_bCleanBehind = behind && !m_bMeasured;
  }
  /// WriteLine for a run of lines (see RunFinder), cleaned up first when CleanRuns said so:
  /// `run` may change. Such a run must keep a line (a run of empty lines is dropped whole).
  void WriteRun(char* run, std::size_t size) {
    if (!m_bCleanRuns) {
      WriteLine({run, size});
    } else if (m_bQuiet) {
      m_bBreakHeld = false;
    } else {
      m_nCount += static_cast<std::int64_t>(m_file.WriteRunToClean(run, size, m_bCleanBehind));
    }
  }
  /// WriteLine for bytes the caller keeps where they lie until SendInPlace: they go to the
  /// file with what comes after them, uncopied (see OutFile::WriteInPlace).
  void WriteLineInPlace(std::string_view line) {
    if (m_bQuiet) {
      m_bBreakHeld = false;
      return;
    }
    m_file.WriteInPlace(line);
    m_nCount += m_bMeasured ? Written(line) : static_cast<std::int64_t>(line.size());
  }
  /// Bytes written in place go out now: their memory is the caller's again.
  void SendInPlace() { m_file.SendInPlace(); }
  void WriteBreak() {
    if (m_bQuiet) {
      m_bBreakHeld = true;
      return;
    }
    m_file.Break();
    m_nCount += m_nBreakBytes;
  }

  /// Bytes [offset, offset + size) of the file `from` (the source, read as it lies) as
  /// lines already joined by their breaks, copied without passing through the process (see
  /// OutFile::CopyFrom) and counted like them. The bytes taken: fewer than `size` when the
  /// file ends first.
  std::int64_t WriteRange(int from, std::int64_t offset, std::int64_t size) {
    if (m_bQuiet) return size;
    const std::int64_t copied = m_file.CopyFrom(from, offset, size);
    m_nCount += copied;
    return copied;
  }

  /// While holding, pieces are opened as files without a name in the run's folder (see
  /// OutFile::CreateUnnamed) and kept open when closed, their title names only noted: no one
  /// sees them, and nothing of them is left, until Publish names them in order. For a split
  /// that writes pieces before it knows it may.
  void Hold(bool on) { m_bHolding = on; }
  /// While claiming, pieces go straight under their names, but only where nothing has the
  /// name yet (opening a piece fails where something has it, see OutFile::Create), and every
  /// name made, title names included, is noted: DropHeld takes them all away again, leaving
  /// the folder as it was, and Publish keeps them. For a split that writes pieces before it
  /// knows it may, and whose pieces are too short to be worth a link each.
  void Claim(bool on);
  /// Off, opening a held piece fails as on a file system without files that have no name:
  /// tests reach that way through it.
  void AllowUnnamed(bool allowed) { m_bUnnamed = allowed; }
  /// The pieces closed while holding and not yet published.
  std::size_t HeldCount() const { return m_held.size(); }
  /// Gives every held piece its name, in order, and then its title name, as closing and
  /// naming it at once would have; a piece whose name is taken replaces the file there as
  /// opening it would. False, with ErrorMessage(), at the first that cannot be: those before
  /// it stay, those after it go.
  bool Publish();
  /// Lets go of the held pieces and the open one, if held, and removes the claimed ones: none
  /// of them is left anywhere.
  void DropHeld();
  /// Drops the last `bytes` the open piece holds (see OutFile::TakeBack).
  void TakeBack(std::int64_t bytes) {
    m_file.TakeBack(bytes);
    m_nCount -= bytes;
  }

  /// Chapters left out of a selection: while muted, lines and breaks are dropped and not
  /// counted, so the piece reads as if they had never been there: the chapters kept are
  /// joined by the breaks that ended them. Example: chapters 1 and 3 of a piece
  /// of three give "第一章…" CR LF "第三章…", without chapter 2 or a blank line for it.
  void SetMuted(bool muted) {
    m_bMuted = muted;
    const bool quiet = m_bMuted || m_bSkipping;
    // Once the piece holds text, the break before the first chapter left out went out
    // already; a later piece starts its first line right after its head. Only the first
    // piece's head wants the break before its first line, as it always has.
    if (!quiet && m_bQuiet && m_bBreakHeld && m_nSequence == 1 && !HoldsText()) {
      m_bQuiet = false;
      WriteBreak();
    }
    m_bQuiet = quiet;
    m_bBreakHeld = false;
  }
  /// The next piece opened is numbered but not written: it holds no chosen chapter.
  void SkipNextPiece(bool skip) { m_bSkipNext = skip; }
  /// Pieces written to disk so far.
  std::int64_t Created() const { return m_nCreated; }

  /// Bytes `text` takes on disk, and of one line break.
  std::int64_t Written(std::string_view text) const {
    return m_bMeasured ? MeasuredWritten(text) : static_cast<std::int64_t>(text.size());
  }
  std::int64_t BreakBytes() const { return m_nBreakBytes; }

  /// Closes the current piece, with its tail and promotional line when `withEnding`. With
  /// writing behind it may return before the piece is on disk (see Settle).
  bool Close(bool withEnding);
  /// Waits until every piece closed is on disk (with writing behind, Close may return while
  /// its last bytes are still being written); false, with ErrorMessage naming the piece, when
  /// one of them failed. A run calls it before it says the pieces are written.
  bool Settle();

  /// Gives the closed piece `number` its title name (see PieceNamer::TitleName) when titles
  /// name the pieces; an existing file of that name is never replaced and any failure leaves
  /// the sequence name. True when renamed.
  bool RenameToTitle(std::int64_t number, std::string_view title);
  /// The same for a title in `encoding` rather than the run's text (an edited title).
  bool RenameToTitle(std::int64_t number, std::string_view title, Encoding encoding);

  /// True when the current piece holds anything of the book: more than its head text.
  bool HoldsText() const { return m_nCount > m_nOpenCount; }
  /// Closes the current piece as it is and removes it: for a run that fails before anything
  /// of the book reached it, so that no empty piece is left behind.
  void Discard();
  /// The path of the current (or last) piece.
  const std::string& Path() const { return m_strPath; }

  std::int64_t Count() const { return m_nCount; }
  std::int64_t Sequence() const { return m_nSequence; }
  /// True once a write to the current piece has failed.
  bool WriteFailed() const { return m_file.Failed(); }
  /// What the last failure is to be told as.
  const Message& ErrorMessage() const { return m_error; }

 private:
  bool Open(std::int64_t number);
  /// Creates the named file of piece `number` at `m_strPath`, or says why it cannot.
  bool CreateNamed();
  /// Names one held piece; see Publish.
  bool PublishOne(int fd, std::int64_t number);

  /// A piece closed while holding: its file, number and the title it is to be named by.
  struct Held {
    int fd = -1;
    std::int64_t number = 0;
    std::string title;
    bool titled = false;
    Encoding encoding = Encoding::Utf8;
  };
  std::vector<Held> m_held;
  bool m_bHolding = false;
  bool m_bClaiming = false;
  /// A piece made while claiming: its number, and its title name once it has one.
  struct Claimed {
    std::int64_t number = 0;
    std::string renamed;
  };
  std::vector<Claimed> m_claimed;
  /// How many files were untouchable when claiming began: those noted after it go with the
  /// claimed pieces, whose numbers the system may give to other files once they are gone.
  std::size_t m_nUntouchableBefore = 0;
  bool m_bUnnamed = true;
  bool m_bOpenHeld = false;  ///< the open piece has no name yet
  /// The folder pieces are opened in: the run's, or the volume folder within it.
  std::string Directory() const;
  std::int64_t MeasuredWritten(std::string_view text) const;

  PieceLayout m_layout;
  /// Files no piece may empty: the source, then renamed pieces whose names end like a
  /// sequence name ("_NNN.txt"), which a folder that folds names might still match.
  std::vector<FileId> m_untouchable;
  OutFile m_file;
  std::string m_strPath;
  std::int64_t m_nSequence = 0;
  std::int64_t m_nCount = 0;
  std::int64_t m_nOpenCount = 0;  ///< the count once the head text was written
  Message m_error;
  bool m_bMeasured = false;  ///< bytes on disk differ from bytes of text (UTF-16)
  bool m_bCleanRuns = false;    ///< see CleanRuns
  bool m_bCleanBehind = false;  ///< see CleanRuns
  std::int64_t m_nBreakBytes = 2;
  bool m_bMuted = false;
  bool m_bSkipNext = false;
  bool m_bSkipping = false;   ///< the current piece is numbered but not written
  bool m_bQuiet = false;      ///< muted or skipping: nothing goes out
  bool m_bBreakHeld = false;  ///< a break was asked for while quiet, after the last line
  std::int64_t m_nCreated = 0;
  std::string m_strFolder;             ///< the volume folder, once one is entered
  std::vector<std::string> m_earlier;  ///< pieces written before it, by their final names
  std::vector<RunTally::Folder> m_folders;
};

}  // namespace sekato::engine

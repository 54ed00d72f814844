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
};

/// Writes the numbered pieces of one run and counts the bytes of the current piece.
///
/// The count is the piece's size on disk up to its last line: the head text and every line
/// break (CR LF, 2 bytes) included, the tail and promotional line excluded. A piece is laid
/// out as [head "\n"] lines joined by "\n" for the first piece, [head "\n" "\n"] first line
/// … for the later ones, then ["\n\n" tail] ["\n\n" promotional line] when closed normally.
class PieceWriter final {
 public:
  /// `sourceDevice`/`sourceInode` name the source file, which no piece may ever replace.
  PieceWriter(PieceLayout layout, dev_t sourceDevice, ino_t sourceInode);

  /// directory/namePart_NNN.txt
  std::string PiecePath(std::int64_t number) const;

  /// Piece 001 with its head text.
  bool OpenFirst();
  /// The next piece with its head text and an empty line after it.
  bool OpenNext();

  void WriteLine(std::string_view line) {
    m_file.Write(line);
    m_nCount += m_bMeasured ? Written(line) : static_cast<std::int64_t>(line.size());
  }
  void WriteBreak() {
    m_file.Break();
    m_nCount += m_nBreakBytes;
  }

  /// Bytes `text` takes on disk, and of one line break.
  std::int64_t Written(std::string_view text) const {
    return m_bMeasured ? MeasuredWritten(text) : static_cast<std::int64_t>(text.size());
  }
  std::int64_t BreakBytes() const { return m_nBreakBytes; }

  /// Closes the current piece, with its tail and promotional line when `withEnding`.
  bool Close(bool withEnding);

  /// Gives the closed piece `number` its title name (see PieceNamer::TitleName) when titles
  /// name the pieces; an existing file of that name is never replaced and any failure leaves
  /// the sequence name. True when renamed.
  bool RenameToTitle(std::int64_t number, std::string_view title);

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
  std::int64_t m_nBreakBytes = 2;
};

}  // namespace sekato::engine

#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "linereader.h"
#include "runfinder.h"
#include "sekato/encoding.h"
#include "sekato/splithost.h"
#include "trailingblanks.h"

namespace sekato::engine {

class SourceDecoder;

class PieceWriter;
class RunEncodings;
class Splitter;
class TextRules;

/// The reading and writing of one run, once SplitRun has set up the source, the writer and
/// the splitter: takes the source's lines from the reader, hands them to the splitter that
/// cuts the pieces, and ends the run, stopped, failed or completed.
///
/// A line is taken whole, in a run of plain lines written as the bytes lie (see
/// RunFinder), or in parts when it is longer than the reader's part limit. Each
/// one is followed by a stop check and a progress step; a stop is seen within a long line
/// too, and while one is measured for keep-lines. Clean-up drops empty lines and trailing
/// blanks; within a long line it holds back only where its blanks lie, so memory stays the
/// reader's.
///
/// Example: with clean-up, a long line read as "ab␣␣", "␣␣cd", "␣" writes "ab", then the two
/// blanks held back and "␣␣cd" once text follows them, and drops the last blank at its end.
class SplitPass final {
 public:
  /// What the pass needs to know of the run beyond the objects it works with.
  struct Settings {
    bool converts = false;        ///< the decoder converts: the file's bytes are not the text
    bool cleanUp = false;         ///< trailing blanks and empty lines go, full-width spaces widen
    bool lineRuns = true;         ///< runs of plain lines may be taken (see SplitRun::SetLineRuns)
    std::string_view sourcePath;  ///< named when reading fails
    std::string_view directory;   ///< where the pieces go, for the tally
    /// The decoder the source is read through, if any: it tells a character the pieces
    /// cannot hold from a failure to read.
    const SourceDecoder* decoder = nullptr;
  };

  /// `splitter` cuts the pieces. Every object outlives the pass; the
  /// pass closes `source` and `writer` as it ends.
  SplitPass(LineReader& source, PieceWriter& writer, Splitter& splitter, SplitHost& host,
            const RunEncodings& encodings, const Settings& settings);

  /// Opens the first piece and reads the source to its end, or until a stop or a failure.
  /// On completion the last piece is renamed as the splitter names it; the end tells the
  /// tally.
  SplitEnd Run();

 private:
  /// What became of one line or part of a line.
  enum class Step {
    Done,     ///< written (or held back): the run goes on after a progress step
    Dropped,  ///< a line clean-up leaves out whole: no progress step
    Halted,   ///< stopped, or reading or writing failed
  };

  // Taken for every line or run of lines: inline (defined in the .cpp), so that a plain
  // line costs Run no calls of its own.
  inline bool TakeRun();
  inline Step TakeLine(char* data, std::size_t size);
  inline bool Stepped(std::int64_t position);
  inline void WarnOfInvalid();

  /// A run taken, to be cleaned up by the writer under clean-up.
  void WriteRun(char* data, std::size_t size);
  /// What a run that stops or fails leaves: the pieces on disk and their folder.
  RunTally KeptTally() const;
  /// The parts of a long line, as they are or being cleaned.
  Step TakePartAsIs(std::string_view part, bool lineStart, bool last);
  Step TakeCleanedPart(char* data, std::size_t size, std::int64_t partStart, bool last);
  bool WriteHeld();
  /// Hands a part of a long line to the splitter; false when the run cannot go on.
  bool WritePart(std::string_view part, bool last);
  bool StartLongLine(bool trimmed);

  Message InvalidByte() const;
  Message ReadError() const;
  /// Tells the host how far the run has come; false when it asks the run to stop.
  bool KeepGoing() { return m_host.Progress(m_nProgress, m_nLength); }
  SplitEnd Fail(const Message& message);
  /// After the last line: the run stopped, failed in reading, or completed.
  SplitEnd End();

  LineReader& m_source;
  PieceWriter& m_writer;
  Splitter& m_splitter;
  SplitHost& m_host;
  const TextRules& m_rules;
  Encoding m_sourceEncoding;
  Settings m_settings;
  /// In GBK and GB18030 clean-up keeps sizes, so a part can be widened before it is trimmed.
  bool m_bGbkSpaces = false;
  bool m_bRuns = false;
  bool m_bLines = false;     ///< the splitter cuts at line numbers: runs end before them
  std::int64_t m_nLine = 0;  ///< the number of the line at hand, from 1 (see m_bLines)
  RunFinder::Limits m_runLimits;

  bool m_bStopped = false;
  std::int64_t m_nProgress = 0;  ///< source position reached, told at the next KeepGoing
  std::int64_t m_nLength = 0;
  bool m_bInLine = false;       ///< between the parts of a long line
  bool m_bLineHasText = false;  ///< a long line being cleaned has shown text: its break is written
  bool m_bWarned = false;
  TrailingBlanks m_blanks;
  std::int64_t m_nNextPartStart = 0;  ///< source offset of the part Next gives next
};

}  // namespace sekato::engine

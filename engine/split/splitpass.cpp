#include "splitpass.h"

#include <algorithm>
#include <limits>

#include "asciitext.h"
#include "chaptersplitter.h"
#include "piecewriter.h"
#include "runencodings.h"
#include "runfinder.h"
#include "sekato/message.h"
#include "sizesplitter.h"
#include "sourcedecoder.h"

namespace sekato::engine {

SplitPass::SplitPass(LineReader& source, PieceWriter& writer, Splitter& splitter, SplitHost& host,
                     const RunEncodings& encodings, const Settings& settings)
    : m_source(source),
      m_writer(writer),
      m_splitter(splitter),
      m_host(host),
      m_rules(encodings.Rules()),
      m_sourceEncoding(encodings.Source()),
      m_settings(settings),
      m_bGbkSpaces(encodings.Text() == Encoding::Gbk || encodings.Text() == Encoding::Gb18030) {
  const Encoding text = encodings.Text();
  // Lines whose handling is known to be plain go in runs: written as the bytes lie, with one
  // stop check and one progress step each (see RunFinder). The source's bytes must
  // be the piece's; in chapter mode the bytes every heading holds must be known, and in size
  // and even mode a run stops short of the line that crosses the limit. Clean-up leaves
  // every line of a run as long as it is but for its full-width spaces, which are widened
  // where they lie: in UTF-8, where a full-width space is found by its bytes alone, and in
  // GBK and GB18030, where the characters before one are walked from its line's start.
  const bool cleanRuns = RunCleaner::Cleans(text);
  const bool sameBytes = !settings.converts && m_rules.OutputEncoding() == m_rules.TextEncoding();
  const std::string& needle = splitter.BodyNeedle();
  const bool headings = splitter.FindsHeadings();
  m_bRuns = settings.lineRuns && sameBytes && (!settings.cleanUp || cleanRuns) &&
            (!headings || needle.size() >= 2);
  if (headings) {
    m_runLimits.needle = needle;
    // Widened, a UTF-8 line keeps at least two thirds of its bytes: a margin, as a title is
    // measured the same before and after.
    std::int64_t longest = std::max<std::int64_t>(splitter.LongestHeading(), 0);
    const bool shrinks = settings.cleanUp && text == Encoding::Utf8;
    if (shrinks) {
      longest = longest > std::numeric_limits<std::int64_t>::max() / 2 ? longest
                                                                       : longest + longest / 2 + 1;
    }
    m_runLimits.headingBytes = static_cast<std::size_t>(longest);
  }
  // Cutting at listed lines, the pass counts lines, and a run ends before the next cut.
  m_bLines = splitter.CutsAtLines(&m_nLine);
  m_runLimits.cleanUp = settings.cleanUp;
  // The writer cleans the runs up; where the splitter does not weigh pieces, a run may be
  // cleaned by the writing thread, which has time to spare while this one reads and looks.
  if (m_bRuns && settings.cleanUp) writer.CleanRuns(m_rules, !splitter.CutsBySize());
  m_runLimits.fullWidthSpace = m_rules.FullWidthSpace();
}

SplitEnd SplitPass::Run() {
  if (!m_writer.OpenFirst()) return Fail(m_writer.ErrorMessage());
  m_nLength = m_source.Length();
  char* data = nullptr;
  std::size_t size = 0;
  bool complete = true;
  while (true) {
    if (TakeRun()) {
      if (!Stepped(m_source.ProgressPosition())) return Fail(m_writer.ErrorMessage());
      continue;
    }
    if (m_bStopped || !m_source.Next(data, size, complete)) break;
    const std::int64_t partStart = m_nNextPartStart;
    m_nNextPartStart = m_source.Position();
    const bool lineStart = !m_bInLine;
    m_bInLine = !complete;
    m_nLine += lineStart;
    // Looked at for every part of a long line too, so a stop never waits for a line's end.
    if (!KeepGoing()) {
      m_bStopped = true;
      break;
    }
    const std::int64_t position = m_source.ProgressPosition();
    WarnOfInvalid();
    const Step step = lineStart && complete ? TakeLine(data, size)
                      : m_settings.cleanUp  ? TakeCleanedPart(data, size, partStart, complete)
                                            : TakePartAsIs({data, size}, lineStart, complete);
    if (step == Step::Dropped) continue;
    if (step == Step::Halted) {
      if (m_bStopped) break;
      return Fail(m_source.Failed() ? ReadError() : m_writer.ErrorMessage());
    }
    if (!Stepped(position)) return Fail(m_writer.ErrorMessage());
  }
  return End();
}

// Takes a run and writes it; false when none is at hand, or when the run is to end.
inline bool SplitPass::TakeRun() {
  // Blank lines at the start of a piece write no break: they go alone.
  if (!m_bRuns || m_bInLine || m_writer.Count() <= 0) return false;
  const std::int64_t room = m_splitter.RunRoom();
  if (room < 0) return false;
  m_runLimits.budget = static_cast<std::size_t>(room);
  // Every line in it comes whole from Next too: with its CR, at most the part limit.
  if (m_source.PartLimit() > 0) {
    m_runLimits.budget = std::min(m_runLimits.budget, m_source.PartLimit() - 1);
  }
  char* data = nullptr;
  std::size_t size = 0;
  if (!m_source.LinesAtHand(data, size)) return false;
  std::size_t lines = 0;
  if (m_bLines) {
    const std::int64_t before = m_splitter.NextCut() - m_nLine - 1;
    m_runLimits.lines = static_cast<std::size_t>(
        std::clamp<std::int64_t>(before, 0, std::numeric_limits<std::int64_t>::max() - 1));
  }
  const std::size_t end = RunFinder::End({data, size}, m_runLimits, &lines);
  if (end == 0) return false;
  m_nLine += static_cast<std::int64_t>(lines);
  m_source.TakeLines(end);
  size = end - 2;  // without the last CR LF
  m_nNextPartStart = m_source.Position();
  if (!KeepGoing()) {
    m_bStopped = true;
    return false;
  }
  WarnOfInvalid();
  WriteRun(data, size);
  return true;
}

void SplitPass::WriteRun(char* data, std::size_t size) {
  // Clean-up drops the empty lines of the run; a run of nothing else writes nothing. Every
  // other line of it keeps its last byte, as a line clean-up would shorten ends a run: a run
  // keeps something when a byte of it is neither CR nor LF.
  if (m_settings.cleanUp &&
      std::all_of(data, data + size, [](char c) { return c == '\r' || c == '\n'; })) {
    return;
  }
  m_writer.WriteBreak();
  m_splitter.HandleRun(data, size);
}

// A whole line, at most a part long.
inline SplitPass::Step SplitPass::TakeLine(char* data, std::size_t size) {
  std::string_view text(data, size);
  if (m_settings.cleanUp) {
    text = AsciiText::TrimRight({data, m_rules.WidenFullWidthSpaces(data, size)});
    if (text.empty()) return Step::Dropped;
  }
  if (m_writer.Count() > 0) m_writer.WriteBreak();
  return m_splitter.HandleLine(text) ? Step::Done : Step::Halted;
}

// A part of a long line, without clean-up: written as it is.
SplitPass::Step SplitPass::TakePartAsIs(std::string_view part, bool lineStart, bool last) {
  bool handled = true;
  if (lineStart) {
    if (m_writer.Count() > 0) m_writer.WriteBreak();
    handled = StartLongLine(false);
  }
  return handled && WritePart(part, last) ? Step::Done : Step::Halted;
}

// A part of a long line being cleaned. Blanks wait until text follows them; a line blank
// throughout is dropped. Where they lie is counted in the source's bytes, before widening.
SplitPass::Step SplitPass::TakeCleanedPart(char* data, std::size_t size, std::int64_t partStart,
                                           bool last) {
  if (m_bGbkSpaces) size = m_rules.WidenFullWidthSpaces(data, size);
  const std::string_view text(data, size);
  const std::size_t keptBytes =
      m_bGbkSpaces ? AsciiText::TrimRight(text).size() : m_rules.TrimmedLength(text);
  const std::string_view kept(
      data, m_bGbkSpaces ? keptBytes : m_rules.WidenFullWidthSpaces(data, keptBytes));
  bool handled = true;
  if (!kept.empty()) handled = WriteHeld() && WritePart(kept, false);
  m_blanks.Add(partStart + static_cast<std::int64_t>(keptBytes),
               static_cast<std::int64_t>(text.size() - keptBytes));
  if (last) {
    m_blanks.Clear();
    if (!m_bLineHasText) return Step::Dropped;
    m_bLineHasText = false;
    handled = handled && WritePart({}, true);
  }
  return handled ? Step::Done : Step::Halted;
}

// The blanks held go out as text, after the line's break and start once it shows text.
bool SplitPass::WriteHeld() {
  if (!m_bLineHasText) {
    if (m_writer.Count() > 0) m_writer.WriteBreak();
    m_bLineHasText = true;
    if (!StartLongLine(true)) return false;
  }
  return m_blanks.Drain(m_source, m_rules,
                        [this](std::string_view run) { return WritePart(run, false); });
}

bool SplitPass::WritePart(std::string_view part, bool last) {
  return m_splitter.HandlePart(part, last);
}

// Called once a long line's break is written, before any of its bytes. Measuring looks
// at the run flag as it goes: a stop then ends the run before the line is placed.
bool SplitPass::StartLongLine(bool trimmed) {
  const std::optional<std::int64_t> measuredRoom = m_splitter.LongLineRoom();
  if (!measuredRoom) return true;
  const std::int64_t room = *measuredRoom;
  const std::int64_t measured =
      room < 0 ? 0 : m_source.MeasureLine(trimmed, room, [this] { return KeepGoing(); });
  m_bStopped = measured == -2;
  return measured >= 0 && m_splitter.StartLongLine(room < 0 ? room + 1 : measured);
}

// A failed write is only known to the piece: closing it turns it into the message. False
// then; else the position is noted, for the host to be told at the next look.
inline bool SplitPass::Stepped(std::int64_t position) {
  if (m_writer.WriteFailed() && !m_writer.Close(false)) return false;
  m_nProgress = position;
  return true;
}

// A byte that is not valid in the source's encoding is said once, and the run goes on.
inline void SplitPass::WarnOfInvalid() {
  if (m_bWarned || m_source.FirstInvalid() < 0) return;
  m_bWarned = true;
  m_host.Warn(InvalidByte());
}

Message SplitPass::InvalidByte() const {
  std::string offset = std::to_string(m_source.FirstInvalid());
  std::string encoding(Encodings::DisplayName(m_sourceEncoding));
  const std::string& writtenAs = m_source.InvalidWrittenAs();
  if (writtenAs.empty()) return {MessageId::InvalidInSource, {std::move(offset), encoding}};
  return {MessageId::ReplacedInSource,
          {std::move(offset), encoding, writtenAs == "?" ? "“?”" : writtenAs}};
}

Message SplitPass::ReadError() const {
  std::string path(m_settings.sourcePath);
  // A character the pieces cannot hold stops the reading, but nothing failed to be read.
  if (m_settings.decoder && !m_settings.decoder->Unwritable().empty()) {
    Message unwritable{MessageId::UnwritableInSource, {std::move(path)}};
    for (const std::string& arg : m_settings.decoder->Unwritable()) unwritable.args.push_back(arg);
    return unwritable;
  }
  return {MessageId::ReadSource, {std::move(path), m_source.Error()}};
}

// A failure closes what is open and keeps every piece written so far, but for one that holds
// nothing of the book yet. When reading stopped the run, the piece it cut short is named.
SplitEnd SplitPass::Fail(const Message& message) {
  const bool reading = m_source.Failed();
  m_source.Close();
  if (!m_writer.HoldsText()) {
    m_writer.Discard();
    m_writer.Settle();  // the run has failed already: that failure is the one told
    return {SplitOutcome::Failed, message, KeptTally()};
  }
  m_writer.Close(false);
  m_writer.Settle();
  if (!reading) return {SplitOutcome::Failed, message, KeptTally()};
  Message cutShort = message;
  cutShort.then.push_back({MessageId::PieceCutShort, {m_writer.Path()}});
  return {SplitOutcome::Failed, std::move(cutShort), KeptTally()};
}

RunTally SplitPass::KeptTally() const {
  RunTally kept;
  kept.pieces = m_writer.Created();
  kept.directory = std::string(m_settings.directory);
  return kept;
}

SplitEnd SplitPass::End() {
  WarnOfInvalid();
  if (auto warning = m_splitter.Warning()) m_host.Warn(*warning);
  if (m_source.Failed()) return Fail(ReadError());
  if (m_bStopped) {
    m_source.Close();
    if (!m_writer.Close(false) || !m_writer.Settle()) {
      return {SplitOutcome::Failed, m_writer.ErrorMessage(), KeptTally()};
    }
    return {SplitOutcome::Stopped, {MessageId::Stopped}, KeptTally()};
  }
  if (!m_writer.Close(true) || !m_writer.Settle()) return Fail(m_writer.ErrorMessage());
  m_splitter.Finish();
  // Another program may have cut the source short while it was read: what was read is
  // split, but the run did not split the book.
  const std::int64_t read = m_source.FileBytesRead();
  const std::int64_t length = m_source.Length();
  m_source.Close();
  if (read < length) {
    return {SplitOutcome::Failed,
            {MessageId::SourceShrank,
             {std::string(m_settings.sourcePath), std::to_string(length), std::to_string(read)}},
            {}};
  }
  // The whole source is read: the host sees the end reached, whatever it asks now.
  m_host.Progress(m_nProgress, m_nLength);
  return {SplitOutcome::Completed,
          {MessageId::Completed},
          {m_writer.Created(), std::string(m_settings.directory), m_splitter.Headings(),
           m_splitter.GapsOrRepeats(), m_writer.Path(), m_writer.Folders()}};
}

}  // namespace sekato::engine

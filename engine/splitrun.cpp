#include "splitrun.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <vector>

#include "chaptersplitter.h"
#include "fileops.h"
#include "folderlock.h"
#include "gbktext.h"
#include "headingmatcher.h"
#include "linereader.h"
#include "messages.h"
#include "numberparse.h"
#include "pairscanner.h"
#include "piecewriter.h"
#include "runencodings.h"
#include "siteaddresses.h"
#include "sizesplitter.h"
#include "sourcedecoder.h"
#include "sourcepath.h"
#include "textcodec.h"
#include "numerals.h"
#include "trailingblanks.h"

namespace sekato::engine {

namespace {

std::string PromotionLine(Encoding text) {
  const std::string line = std::string(Messages::kPromotion) + " " + SiteAddresses::kHome;
  return TextCodec::Convert(line, Encoding::Utf8, text).value_or(SiteAddresses::kHome);
}

// Calls `take` with each stretch of `run` (lines joined by CR LF) that empty lines part, in
// order, without the CR LFs of the empty lines and of the line before each: "a\r\n\r\nb\r\n"
// gives "a", then "b" (the last line, empty, is dropped too).
template <typename Take>
void ForEachBetweenEmptyLines(std::string_view run, const Take& take) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(run.data());
  std::size_t pos = 0;
  while (true) {
    while (run.substr(pos, 2) == "\r\n") pos += 2;
    if (pos >= run.size()) return;
    // An empty line follows a line feed with its CR LF; a CR after a line feed is rare.
    std::size_t feed = PairScanner::npos;
    for (std::size_t at = pos; at + 2 < run.size();) {
      const std::size_t hit = PairScanner::Find(bytes, at, run.size() - 3, '\n', '\r');
      if (hit == PairScanner::npos || run[hit + 2] == '\n') {
        feed = hit;
        break;
      }
      at = hit + 1;
    }
    if (feed == PairScanner::npos) {
      // The run's last line is empty when the run ends in a line break.
      const bool emptyLast = run.size() - pos >= 2 && run.substr(run.size() - 2) == "\r\n";
      take(run.substr(pos, run.size() - pos - (emptyLast ? 2 : 0)));
      return;
    }
    take(run.substr(pos, feed - 1 - pos));  // up to the CR before the line feed
    pos = feed + 1;
  }
}

}  // namespace

// What a run works with, read once from the options at its start.
struct SplitRun::Plan {
  std::int64_t perFile = 0;
  std::int64_t titleLimit = 0;
  std::int64_t maxKb = 0;
  std::int64_t parts = 0;
  Numerals::Series series = Numerals::Series::None;  ///< for "?"
  std::string directory;
  std::string keywordText;  ///< normalised
  std::vector<std::string> keywords;
  PieceLayout layout;
  std::optional<RunEncodings> encodings;
};

std::optional<std::string> SplitRun::Refusal(const SplitOptions& o, const Plan& plan) {
  if (o.m_nSplitMode == SplitMode::Evenly && plan.parts <= 0) return std::string(Messages::kBadParts);
  if (o.m_nSplitMode == SplitMode::ByChapter && plan.perFile <= 0) {
    return std::string(Messages::kBadChaptersPerFile);
  }
  if (o.m_nSplitMode == SplitMode::BySize && plan.maxKb < 0) return std::string(Messages::kNegativeSize);
  if (o.m_nSplitMode == SplitMode::ByChapter && plan.titleLimit < 0) {
    return std::string(Messages::kNegativeTitle);
  }
  // The name part names files inside the folder: it must not lead out of it.
  const std::string& namePart = o.m_nNameMode == 1 ? o.m_strCustomName : o.m_strSrcTitle;
  if (namePart.find('/') != std::string::npos || namePart == "." || namePart == "..") {
    return Messages::Format(Messages::kBadNamePart, namePart);
  }
  if (SourcePath::IsSpecialFile(o.m_strSrcPath)) {
    return Messages::Format(Messages::kNotRegularSource, o.m_strSrcPath);
  }
  if (plan.directory.empty()) {
    return o.m_nDirMode == 0 ? std::string(Messages::kNoNewDir)
                             : Messages::Format(Messages::kNoExtension, o.m_strSrcPath);
  }
  if (o.m_nSplitMode == SplitMode::ByChapter && !plan.keywordText.empty()) {
    if (plan.keywords.size() > HeadingMatcher::kMaxKeywords) {
      return std::string(Messages::kTooManyKeywords);
    }
    if (plan.series == Numerals::Series::None && HeadingMatcher::HasWildcard(plan.keywords)) {
      return std::string(Messages::kNoNumeralSeries);
    }
  }
  return std::nullopt;
}

SplitRun::SplitRun(SplitOptions options, SplitHost& host)
    : m_options(std::move(options)), m_host(host) {}

SplitOutcome SplitRun::Finish(SplitOutcome outcome, const std::string& utf8Text) {
  m_host.ShowMessage(outcome, utf8Text);
  if (outcome != SplitOutcome::Stopped) m_host.ClearRunning();
  return outcome;
}

SplitOutcome SplitRun::Execute() {
  const SplitOptions& o = m_options;
  Plan plan;
  plan.perFile = ParseNumber(o.m_strChaptersPerFile);
  plan.titleLimit = ParseNumber(o.m_strTitleMax);
  plan.maxKb = ParseNumber(o.m_strMaxKB);
  plan.parts = ParseNumber(o.m_strParts);
  plan.series = m_host.NumeralSeries();
  plan.directory = o.m_nDirMode == 0 ? o.m_strNewDir : o.m_strSrcBase;
  plan.keywordText = TextRules::For(o.m_textEncoding).NormaliseKeywords(o.m_strKeywords);
  plan.keywords = HeadingMatcher::CutKeywords(plan.keywordText);
  if (auto refusal = Refusal(o, plan)) return Finish(SplitOutcome::Refused, *refusal);

  std::string message;
  bool refused = false;
  plan.encodings = RunEncodings::Resolve(o, message, refused);
  if (!plan.encodings) {
    return Finish(refused ? SplitOutcome::Refused : SplitOutcome::Failed, message);
  }
  m_host.ReportEncoding(plan.encodings->Source(), plan.encodings->Detected());
  // Text the pieces' encoding cannot hold is refused before anything is made.
  if (auto refusal = ToRunText(plan)) return Finish(SplitOutcome::Refused, *refusal);

  std::string reason;
  if (!FileOps::MakeDirectory(plan.directory, reason)) {
    return Finish(SplitOutcome::Failed,
                  Messages::Format(Messages::kMakeDirectory, plan.directory, reason));
  }
  // Refused only now, so that the directory exists after it as it always has.
  if (o.m_nSplitMode == SplitMode::ByChapter && plan.keywordText.empty()) {
    return Finish(SplitOutcome::Refused, std::string(Messages::kEmptyKeywords));
  }

  PieceLayout& layout = plan.layout;
  layout.directory = plan.directory;
  layout.namePart = o.m_nNameMode == 1 ? o.m_strCustomName : o.m_strSrcTitle;
  layout.addHead = o.m_bAddHead;
  layout.addTail = o.m_bAddTail;
  layout.addPromotion = !o.m_bNoAd;
  layout.promotion = PromotionLine(plan.encodings->Text());
  layout.rules = &plan.encodings->Rules();
  layout.preamble = plan.encodings->Preamble();

  // The source itself must never become a piece.
  if (FileOps::SameDirectory(SourcePath::Folder(o.m_strSrcPath), plan.directory) &&
      PieceWriter::IsPieceName(SourcePath::FileName(o.m_strSrcPath), layout.namePart)) {
    return Finish(SplitOutcome::Refused,
                  Messages::Format(Messages::kWouldOverwriteSource, o.m_strSrcPath));
  }
  // Two runs writing into one folder would blend their pieces.
  FolderLock lock;
  if (!lock.Take(plan.directory)) {
    return Finish(SplitOutcome::Refused, Messages::Format(Messages::kFolderBusy, plan.directory));
  }
  return Split(plan);
}

std::optional<std::string> SplitRun::ToRunText(Plan& plan) const {
  const SplitOptions& o = m_options;
  const RunEncodings& encodings = *plan.encodings;
  std::string message;
  if (o.m_nSplitMode == SplitMode::ByChapter) {
    auto keywords = encodings.ToText(plan.keywordText, o.m_textEncoding, "关键字", message);
    if (!keywords) return message;
    plan.keywordText = std::move(*keywords);
    plan.keywords = HeadingMatcher::CutKeywords(plan.keywordText);
    // Every digit and unit a chapter number up to 10000 is written with.
    if (plan.series != Numerals::Series::None && HeadingMatcher::HasWildcard(plan.keywords)) {
      for (const std::int64_t n : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 100, 1000, 10000}) {
        if (!encodings.ToText(Numerals::Text(n, plan.series), Encoding::Gbk, "替换?的自增符",
                              message)) {
          return message;
        }
      }
    }
  }
  if (o.m_bAddHead) {
    auto head = encodings.ToText(o.m_strHead, o.m_textEncoding, "文件首添加字符", message);
    if (!head) return message;
    plan.layout.head = std::move(*head);
  }
  if (o.m_bAddTail) {
    auto tail = encodings.ToText(o.m_strTail, o.m_textEncoding, "文件尾添加字符", message);
    if (!tail) return message;
    plan.layout.tail = std::move(*tail);
  }
  return std::nullopt;
}

SplitOutcome SplitRun::Split(Plan& plan) {
  const SplitOptions& o = m_options;
  const RunEncodings& encodings = *plan.encodings;
  const TextRules& rules = encodings.Rules();
  LineReader source;
  // Noted however the run ends.
  struct BufferNote {
    const LineReader& reader;
    std::size_t& largest;
    ~BufferNote() { largest = reader.LargestBuffer(); }
  } note{source, m_nLargestBuffer};
  std::string reason;
  if (!source.Open(o.m_strSrcPath, reason)) {
    return Finish(SplitOutcome::Failed,
                  Messages::Format(Messages::kOpenSource, o.m_strSrcPath, reason));
  }
  SourceDecoder decoder(encodings.Source(), encodings.Text(), encodings.MarkBytes());
  // GBK, GB18030 and Big5 read as they are go straight from the file, as fast as ever: nearly
  // every byte sequence is valid there, and a check would cost more than the split.
  if (decoder.Converts() || encodings.MarkBytes() > 0 || encodings.Source() == Encoding::Utf8) {
    source.SetDecoder(&decoder);
  }
  // The reader may read through the decoder on a thread of its own: it stops before the
  // decoder goes, however the run ends.
  struct StopReading {
    LineReader& reader;
    ~StopReading() { reader.Close(); }
  } stopReading{source};
  source.SetReadAhead(m_nReadAheadFrom, m_nAheadChunk);
  source.SetRules(rules);
  const std::int64_t length = source.Length();

  PieceWriter writer(plan.layout, source.Device(), source.Inode());
  // Lines are written from the reader's buffer where they lie; the reader says when its
  // bytes move. The watch goes before the writer does.
  source.SetBufferWatch([&writer](const char* begin, const char* end) { writer.Lend(begin, end); });
  struct WatchEnd {
    LineReader& reader;
    ~WatchEnd() { reader.SetBufferWatch(nullptr); }
  } watchEnd{source};
  std::optional<ChapterSplitter> chapters;
  std::optional<SizeSplitter> sizes;
  if (o.m_nSplitMode == SplitMode::ByChapter) {
    chapters.emplace(
        HeadingMatcher(std::move(plan.keywords), plan.series, plan.titleLimit, rules),
        plan.perFile, o.m_nNameMode == 2, writer, rules);
  } else {
    auto limits = o.m_nSplitMode == SplitMode::Evenly
                      ? SizeSplitter::ForParts(encodings.WrittenLength(length), plan.parts,
                                               plan.layout)
                      : SizeSplitter::ForSize(plan.maxKb);
    // A byte-order mark is not counted as text, but it is on disk within the size asked for.
    if (o.m_nSplitMode == SplitMode::BySize) limits.limit -= rules.Written(plan.layout.preamble);
    sizes.emplace(limits, o.m_nSplitMode == SplitMode::BySize && o.m_bKeepLines, writer, rules);
  }

  // A failure closes what is open and keeps every piece written so far.
  const auto fail = [&](const std::string& text) {
    source.Close();
    writer.Close(false);
    return Finish(SplitOutcome::Failed, text);
  };

  if (!writer.OpenFirst()) return fail(writer.ErrorMessage());
  m_host.SetProgressRange(length);

  // Every line longer than the part limit comes in parts, so memory stays bounded in every
  // mode. Such a line is body text in chapter mode (no heading is that long); with keep-lines
  // its length is measured ahead, so it moves whole as any line would; with clean-up only
  // where its trailing blanks lie is held back, and they are read again. Both look at the
  // line's text again: in the file when its bytes are the text (a mark only skipped), else
  // in the converted text the reader keeps of long lines on disk, beside the pieces.
  if (!decoder.Converts()) {
    source.SetTextStart(static_cast<std::int64_t>(encodings.MarkBytes()));
  } else if (o.m_bTrimSpaces || (o.m_nSplitMode == SplitMode::BySize && o.m_bKeepLines)) {
    source.SpillLongLines(plan.directory);
  }
  // In GBK and GB18030 clean-up keeps sizes, so a part can be widened before it is trimmed.
  const bool gbkSpaces =
      encodings.Text() == Encoding::Gbk || encodings.Text() == Encoding::Gb18030;
  source.SetPartLimit(m_nPartLimit);
  const auto handlePart = [&](std::string_view part, bool last) {
    if (chapters) {
      chapters->HandlePart(part);
      return true;
    }
    return sizes->HandlePart(part, last);
  };
  // Called once a long line's break is written, before any of its bytes. Measuring looks
  // at the run flag as it goes: a stop then ends the run before the line is placed.
  bool stopped = false;
  const auto startLongLine = [&](bool trimmed) {
    if (!sizes || !sizes->KeepsLines()) return true;
    const std::int64_t room = sizes->WholeLineRoom();
    const std::int64_t measured =
        room < 0 ? 0 : source.MeasureLine(trimmed, room, [&] { return m_host.IsRunning(); });
    stopped = measured == -2;
    return measured >= 0 && sizes->StartLongLine(room < 0 ? room + 1 : measured);
  };

  char* data = nullptr;
  std::size_t size = 0;
  bool complete = true;
  bool inLine = false;       // between the parts of a long line
  bool lineHasText = false;  // a long line being cleaned has shown text: its break is written
  TrailingBlanks blanks;
  std::int64_t nextPartStart = 0;  // source offset of the part Next gives next
  bool warned = false;
  // A byte that is not valid in the source's encoding is said once, and the run goes on.
  const auto warnOfInvalid = [&] {
    if (warned || source.FirstInvalid() < 0) return;
    warned = true;
    m_host.Warn(Messages::Format(Messages::kInvalidInSource,
                                 std::to_string(source.FirstInvalid()),
                                 Encodings::DisplayName(encodings.Source())));
  };
  // Lines whose handling is known to be plain go in runs: written as the bytes lie, with one
  // stop check and one progress step each (see LineReader::NextRun). The source's bytes must
  // be the piece's; in chapter mode the bytes every heading holds must be known, and in size
  // and even mode a run stops short of the line that crosses the limit. Clean-up leaves
  // every line of a run as long as it is but for its full-width spaces, which are widened
  // where they lie: in UTF-8, where a full-width space is found by its bytes alone (in GBK
  // each is found by walking the characters before it, which took longer in runs).
  const bool cleanRuns = encodings.Text() == Encoding::Utf8;
  const bool sameBytes = !decoder.Converts() && rules.OutputEncoding() == rules.TextEncoding();
  const bool runs = m_bLineRuns && sameBytes && (!o.m_bTrimSpaces || cleanRuns) &&
                    (!chapters || chapters->BodyNeedle().size() >= 2);
  LineReader::RunLimits limits;
  const std::string needle = chapters ? chapters->BodyNeedle() : std::string();
  limits.needle = needle;
  if (chapters) {
    // Widened, a UTF-8 line keeps at least two thirds of its bytes: a margin, as a title is
    // measured the same before and after.
    std::int64_t longest = std::max<std::int64_t>(chapters->LongestHeading(), 0);
    const bool shrinks = o.m_bTrimSpaces && encodings.Text() == Encoding::Utf8;
    if (shrinks) {
      longest = longest > std::numeric_limits<std::int64_t>::max() / 2 ? longest
                                                                        : longest + longest / 2 + 1;
    }
    limits.headingBytes = static_cast<std::size_t>(longest);
  }
  limits.cleanUp = o.m_bTrimSpaces;
  limits.fullWidthSpace = rules.FullWidthSpace();
  // Takes a run and writes it; false when none is at hand, or when the run is to end.
  const auto takeRun = [&] {
    // Blank lines at the start of a piece write no break: they go alone.
    if (!runs || inLine || writer.Count() <= 0) return false;
    const std::int64_t room =
        chapters ? std::numeric_limits<std::int64_t>::max() : sizes->RunRoom();
    if (room < 0) return false;
    limits.budget = static_cast<std::size_t>(room);
    if (!source.NextRun(limits, data, size)) return false;
    nextPartStart = source.Position();
    if (!m_host.IsRunning()) {
      stopped = true;
      return false;
    }
    if (!warned && source.FirstInvalid() >= 0) warnOfInvalid();
    const std::string_view crLf = source.BreakBefore(data);
    if (o.m_bTrimSpaces) size = rules.WidenFullWidthSpaces(data, size);
    const auto handleRun = [&](std::string_view lines, std::string_view lineBreak) {
      writer.WriteBreak(lineBreak);
      if (chapters) {
        chapters->HandleRun(lines);
      } else {
        sizes->HandleRun(lines);
      }
    };
    if (!o.m_bTrimSpaces) {
      handleRun({data, size}, crLf);
      return true;
    }
    // Clean-up drops the empty lines of the run: what lies between them goes as a run of its
    // own, after a line break unless nothing was written before.
    bool first = true;
    ForEachBetweenEmptyLines({data, size}, [&](std::string_view lines) {
      handleRun(lines, first ? crLf : source.BreakBefore(lines.data()));
      first = false;
    });
    return true;
  };
  while (true) {
    if (takeRun()) {
      if (writer.WriteFailed() && !writer.Close(false)) return fail(writer.ErrorMessage());
      m_host.SetProgressPos(source.ProgressPosition());
      continue;
    }
    if (stopped) break;
    if (!source.Next(data, size, complete)) break;
    const std::int64_t partStart = nextPartStart;
    nextPartStart = source.Position();
    const bool lineStart = !inLine;
    inLine = !complete;
    // Looked at for every part of a long line too, so a stop never waits for a line's end.
    if (!m_host.IsRunning()) {
      stopped = true;
      break;
    }
    const std::int64_t position = source.ProgressPosition();
    if (!warned && source.FirstInvalid() >= 0) warnOfInvalid();
    if (o.m_bTrimSpaces && (gbkSpaces || (lineStart && complete))) {
      size = rules.WidenFullWidthSpaces(data, size);
    }
    std::string_view text(data, size);
    bool handled = true;
    if (lineStart && complete) {
      if (o.m_bTrimSpaces) {
        text = GbkText::TrimRight(text);
        if (text.empty()) continue;
      }
      if (writer.Count() > 0) writer.WriteBreak(source.BreakBefore(data));
      handled = chapters ? chapters->HandleLine(text) : sizes->HandleLine(text);
    } else if (!o.m_bTrimSpaces) {
      if (lineStart) {
        if (writer.Count() > 0) writer.WriteBreak();
        handled = startLongLine(false);
      }
      handled = handled && handlePart(text, complete);
    } else {
      // Blanks wait until text follows them; a line blank throughout is dropped. Where they
      // lie is counted in the source's bytes, before widening.
      const std::size_t keptBytes =
          gbkSpaces ? GbkText::TrimRight(text).size() : rules.TrimmedLength(text);
      const std::string_view kept(
          data, gbkSpaces ? keptBytes : rules.WidenFullWidthSpaces(data, keptBytes));
      const auto writeHeld = [&] {  // the blanks held go out as text
        if (!lineHasText) {
          if (writer.Count() > 0) writer.WriteBreak();
          lineHasText = true;
          if (!startLongLine(true)) return false;
        }
        return blanks.Drain(source, rules,
                            [&](std::string_view run) { return handlePart(run, false); });
      };
      if (!kept.empty()) handled = writeHeld() && handlePart(kept, false);
      blanks.Add(partStart + static_cast<std::int64_t>(keptBytes),
                 static_cast<std::int64_t>(text.size() - keptBytes));
      if (complete) {
        blanks.Clear();
        if (!lineHasText) continue;
        lineHasText = false;
        handled = handled && handlePart({}, true);
      }
    }
    if (stopped) break;
    if (!handled) {
      return fail(source.Failed()
                      ? Messages::Format(Messages::kReadSource, o.m_strSrcPath, source.Error())
                      : writer.ErrorMessage());
    }
    // A failed write is only known to the piece: closing it turns it into the message.
    if (writer.WriteFailed() && !writer.Close(false)) return fail(writer.ErrorMessage());
    m_host.SetProgressPos(position);
  }
  warnOfInvalid();
  if (source.Failed()) {
    return fail(Messages::Format(Messages::kReadSource, o.m_strSrcPath, source.Error()));
  }

  if (stopped) {
    source.Close();
    if (!writer.Close(false)) return Finish(SplitOutcome::Failed, writer.ErrorMessage());
    return Finish(SplitOutcome::Stopped, std::string(Messages::kStopped));
  }
  if (!writer.Close(true)) return fail(writer.ErrorMessage());
  if (chapters) chapters->RenameLast();
  source.Close();
  m_host.Tally({writer.Sequence(), plan.directory, chapters ? chapters->Headings() : -1,
                chapters && chapters->GapsOrRepeats()});
  return Finish(SplitOutcome::Completed, std::string(Messages::kCompleted));
}

SplitOutcome SplitThreadProc(const SplitOptions& options, SplitHost& host) {
  return SplitRun(options, host).Execute();
}

}  // namespace sekato::engine

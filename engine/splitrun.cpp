#include "splitrun.h"

#include <sys/stat.h>
#include <unistd.h>

#include <optional>
#include <vector>

#include "chaptersplitter.h"
#include "fileops.h"
#include "folderlock.h"
#include "headingmatcher.h"
#include "linereader.h"
#include "messages.h"
#include "numerals.h"
#include "piecewriter.h"
#include "runencodings.h"
#include "siteaddresses.h"
#include "sizesplitter.h"
#include "sourcedecoder.h"
#include "sourcepath.h"
#include "splitpass.h"
#include "splitplan.h"
#include "textcodec.h"

namespace sekato::engine {

namespace {

std::string PromotionLine(Encoding text) {
  const std::string line = std::string(Messages::kPromotion) + " " + SiteAddresses::kHome;
  return TextCodec::Convert(line, Encoding::Utf8, text).value_or(SiteAddresses::kHome);
}

}  // namespace

// What a run works with: the plan shared with the chapter list, and what only a split needs.
struct SplitRun::Plan {
  Plan(const SplitOptions& options, Numerals::Series series) : split(options, series) {}
  SplitPlan split;
  PieceLayout layout;
  std::optional<RunEncodings> encodings;
};

SplitRun::SplitRun(SplitOptions options, SplitHost& host)
    : m_options(std::move(options)), m_host(host) {}

SplitOutcome SplitRun::Finish(SplitOutcome outcome, const std::string& utf8Text) {
  m_host.ShowMessage(outcome, utf8Text);
  if (outcome != SplitOutcome::Stopped) m_host.ClearRunning();
  return outcome;
}

SplitOutcome SplitRun::Execute() {
  const SplitOptions& o = m_options;
  Plan plan(o, m_host.NumeralSeries());
  if (auto refusal = plan.split.Refusal(SplitPlan::Purpose::Split)) {
    return Finish(SplitOutcome::Refused, *refusal);
  }

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
  const std::string& directory = plan.split.Directory();
  if (!FileOps::MakeDirectory(directory, reason)) {
    return Finish(SplitOutcome::Failed,
                  Messages::Format(Messages::kMakeDirectory, directory, reason));
  }
  // Refused only now, so that the directory exists after it as it always has.
  if (plan.split.EmptyKeywordsRefused()) {
    return Finish(SplitOutcome::Refused, std::string(Messages::kEmptyKeywords));
  }

  PieceLayout& layout = plan.layout;
  layout.directory = directory;
  layout.namer = plan.split.Namer();
  layout.addHead = o.addHead;
  layout.addTail = o.addTail;
  layout.addPromotion = !o.noPromotion;
  layout.promotion = PromotionLine(plan.encodings->Text());
  layout.rules = &plan.encodings->Rules();
  layout.preamble = plan.encodings->Preamble();

  // The source itself must never become a piece.
  if (FileOps::SameDirectory(SourcePath::Folder(o.sourcePath), directory) &&
      PieceNamer::IsPieceName(SourcePath::FileName(o.sourcePath), layout.namer.NamePart())) {
    return Finish(SplitOutcome::Refused,
                  Messages::Format(Messages::kWouldOverwriteSource, o.sourcePath));
  }
  // Two runs writing into one folder would blend their pieces.
  FolderLock lock;
  if (!lock.Take(directory)) {
    return Finish(SplitOutcome::Refused, Messages::Format(Messages::kFolderBusy, directory));
  }
  return Split(plan);
}

std::optional<std::string> SplitRun::ToRunText(Plan& plan) const {
  const SplitOptions& o = m_options;
  const RunEncodings& encodings = *plan.encodings;
  std::string message;
  if (o.mode == SplitMode::ByChapter) {
    auto keywords = encodings.ToText(plan.split.KeywordText(), o.textEncoding, "关键字", message);
    if (!keywords) return message;
    plan.split.SetKeywordText(std::move(*keywords));
    const Numerals::Series series = plan.split.Series();
    // Every digit and unit a chapter number up to 10000 is written with.
    if (series != Numerals::Series::None && HeadingMatcher::HasWildcard(plan.split.Keywords())) {
      for (const std::int64_t n : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 100, 1000, 10000}) {
        if (!encodings.ToText(Numerals::Text(n, series), Encoding::Gbk, "替换?的自增符", message)) {
          return message;
        }
      }
    }
  }
  if (o.addHead) {
    auto head = encodings.ToText(o.head, o.textEncoding, "文件首添加字符", message);
    if (!head) return message;
    plan.layout.head = std::move(*head);
  }
  if (o.addTail) {
    auto tail = encodings.ToText(o.tail, o.textEncoding, "文件尾添加字符", message);
    if (!tail) return message;
    plan.layout.tail = std::move(*tail);
  }
  return std::nullopt;
}

SplitOutcome SplitRun::Split(Plan& plan) {
  const SplitOptions& o = m_options;
  const RunEncodings& encodings = *plan.encodings;
  LineReader source;
  // Noted however the run ends.
  struct BufferNote {
    const LineReader& reader;
    std::size_t& largest;
    ~BufferNote() { largest = reader.LargestBuffer(); }
  } note{source, m_nLargestBuffer};
  std::string reason;
  if (!source.Open(o.sourcePath, reason)) {
    return Finish(SplitOutcome::Failed,
                  Messages::Format(Messages::kOpenSource, o.sourcePath, reason));
  }
  SourceDecoder decoder(encodings.Source(), encodings.Text(), encodings.MarkBytes(),
                        encodings.Output());
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
  source.SetRules(encodings.Rules());
  // Every line longer than the part limit comes in parts, so memory stays bounded in every
  // mode. Such a line is body text in chapter mode (no heading is that long); with keep-lines
  // its length is measured ahead, so it moves whole as any line would; with clean-up only
  // where its trailing blanks lie is held back, and they are read again. Both look at the
  // line's text again: in the file when its bytes are the text (a mark only skipped), else
  // in the converted text the reader keeps of long lines on disk, beside the pieces.
  if (!decoder.Converts()) {
    source.SetTextStart(static_cast<std::int64_t>(encodings.MarkBytes()));
  } else if (o.trimSpaces || (o.mode == SplitMode::BySize && o.keepLines)) {
    source.SpillLongLines(plan.split.Directory());
  }
  source.SetPartLimit(m_nPartLimit);
  return WritePieces(plan, source, decoder.Converts());
}

SplitOutcome SplitRun::WritePieces(Plan& plan, LineReader& source, bool converts) {
  const SplitOptions& o = m_options;
  const RunEncodings& encodings = *plan.encodings;
  const TextRules& rules = encodings.Rules();
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
  if (o.mode == SplitMode::ByChapter) {
    chapters.emplace(HeadingMatcher(plan.split.Keywords(), plan.split.Series(), o.titleMax, rules),
                     o.chaptersPerPiece, plan.split.Namer().ByTitle(), writer, rules);
  } else {
    std::int64_t length = source.Length();
    if (o.mode == SplitMode::Evenly && converts) {
      length = ConvertedLength(encodings, rules, o.parts);
      if (length < 0) return Finish(SplitOutcome::Stopped, std::string(Messages::kStopped));
    }
    auto limits = o.mode == SplitMode::Evenly ? SizeSplitter::ForParts(length, o.parts, plan.layout)
                                              : SizeSplitter::ForSize(o.maxKb);
    // A byte-order mark is not counted as text, but it is on disk within the size asked for.
    if (o.mode == SplitMode::BySize) limits.limit -= rules.Written(plan.layout.preamble);
    sizes.emplace(limits, o.mode == SplitMode::BySize && o.keepLines, writer, rules);
  }
  const SplitPass::Settings settings{converts, o.trimSpaces, m_bLineRuns, o.sourcePath,
                                     plan.split.Directory()};
  SplitPass pass(source, writer, chapters ? &*chapters : nullptr, sizes ? &*sizes : nullptr, m_host,
                 encodings, settings);
  const SplitPass::Ending ending = pass.Run();
  return Finish(ending.outcome, ending.message);
}

std::int64_t SplitRun::ConvertedLength(const RunEncodings& encodings, const TextRules& rules,
                                       std::int64_t parts) {
  // The text is read once through a decoder of its own and measured as the pieces count it.
  std::string reason;
  struct stat info {};
  const int fd = FileOps::OpenSource(m_options.sourcePath, info, reason);
  if (fd < 0) return info.st_size;  // the split itself says why it cannot read
  SourceDecoder decoder(encodings.Source(), encodings.Text(), encodings.MarkBytes(),
                        encodings.Output());
  std::vector<char> chunk(LineReader::kChunkBytes);
  std::int64_t length = 0;
  while (true) {
    if (!m_host.IsRunning()) {
      length = -1;
      break;
    }
    const ssize_t got = decoder.Read(fd, chunk.data(), chunk.size());
    if (got <= 0) break;  // a failure is the split's to meet and report
    length += rules.Written(std::string_view(chunk.data(), static_cast<std::size_t>(got)));
  }
  ::close(fd);
  // A cut falls at most a character short of the limit, where the limit leaves room for one
  // byte: each part gets room for the rest of the longest character, so that the parts
  // together hold all of the text.
  const Encoding text = rules.TextEncoding();
  const std::int64_t longest = text == Encoding::Gbk || text == Encoding::Big5 ? 2 : 4;
  return length < 0 ? length : length + parts * (longest - 1);
}

SplitOutcome SplitThreadProc(const SplitOptions& options, SplitHost& host) {
  return SplitRun(options, host).Execute();
}

}  // namespace sekato::engine

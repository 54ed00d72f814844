#include "sekato/splitrun.h"

#include <memory>
#include <optional>
#include <vector>

#include "bytesource.h"
#include "chaptersplitter.h"
#include "fileops.h"
#include "folderlock.h"
#include "headingmatcher.h"
#include "linereader.h"
#include "piecewriter.h"
#include "rangesplitpass.h"
#include "runcleaner.h"
#include "runencodings.h"
#include "sekato/chapterscan.h"
#include "sekato/messagecatalogue.h"
#include "sekato/numerals.h"
#include "sekato/sourcepath.h"
#include "siteaddresses.h"
#include "sizesplitter.h"
#include "sourcedecoder.h"
#include "sourcefingerprint.h"
#include "splitpass.h"
#include "splitplan.h"
#include "splitrunplan.h"
#include "textcodec.h"

namespace sekato::engine {

namespace {

std::string PromotionLine(Encoding text) {
  const std::string line = std::string(MessageCatalogue::kPromotion) + " " + SiteAddresses::kHome;
  return TextCodec::Convert(line, Encoding::Utf8, text).value_or(SiteAddresses::kHome);
}

}  // namespace

SplitRun::SplitRun(SplitOptions options, SplitHost& host)
    : m_options(std::move(options)), m_host(host) {}

bool SplitRun::VolumeFolders() const {
  // A list cuts at its own lines, where volumes play no part.
  const SplitOptions& o = m_options;
  return o.volumeFolders && o.mode == SplitMode::ByChapter && !o.toc && o.chapters.All() && !o.join;
}

SplitEnd SplitRun::Execute() {
  if (m_options.Transforms()) return ExecuteTransformed();
  if (m_options.mode == SplitMode::ByChapter && m_options.autoDetect) return ExecuteDetected();
  const SplitOptions& o = m_options;
  Plan plan(o, m_host);
  if (auto refusal = plan.split.Refusal(SplitPlan::Purpose::Split)) {
    return {SplitOutcome::Refused, std::move(*refusal), {}};
  }

  Message message;
  bool refused = false;
  plan.encodings = RunEncodings::Resolve(o, message, refused);
  if (!plan.encodings) {
    return {refused ? SplitOutcome::Refused : SplitOutcome::Failed, std::move(message), {}};
  }
  m_host.ReportEncoding(plan.encodings->Source(), plan.encodings->Detected());
  // Text the pieces' encoding cannot hold is refused before anything is made.
  if (auto refusal = ToRunText(plan)) return {SplitOutcome::Refused, std::move(*refusal), {}};

  if (auto end = PrepareList(plan)) return std::move(*end);

  std::string reason;
  const std::string& directory = plan.split.Directory();
  if (plan.checkHeld) plan.madeFolders = FileOps::MissingFolders(directory);
  if (!FileOps::MakeDirectory(directory, reason)) {
    if (auto end = CheckHeldNow(plan)) return std::move(*end);
    return {SplitOutcome::Failed, {MessageId::MakeFolder, {directory, reason}}, {}};
  }
  // Refused only now, so that the directory exists after it as it always has.
  if (plan.split.EmptyKeywordsRefused() && !plan.list) {
    return {SplitOutcome::Refused, {MessageId::EmptyKeywords}, {}};
  }
  LayOut(plan);

  // The source itself must never become a piece.
  if (FileOps::SameDirectory(SourcePath::Folder(o.sourcePath), directory) &&
      PieceNamer::IsPieceName(SourcePath::FileName(o.sourcePath), plan.layout.namer.NamePart())) {
    if (auto end = CheckHeldNow(plan)) return std::move(*end);
    return {SplitOutcome::Refused, {MessageId::WouldOverwriteSource, {o.sourcePath}}, {}};
  }
  // Two runs writing into one folder would blend their pieces.
  FolderLock lock;
  if (!lock.Take(directory)) {
    if (auto end = CheckHeldNow(plan)) return std::move(*end);
    return {SplitOutcome::Refused, {MessageId::FolderBusy, {directory}}, {}};
  }
  return Split(plan);
}

void SplitRun::LayOut(Plan& plan) const {
  const SplitOptions& o = m_options;
  PieceLayout& layout = plan.layout;
  layout.directory = plan.split.Directory();
  layout.namer = plan.split.Namer();
  layout.addHead = o.addHead;
  layout.addTail = o.addTail;
  layout.addPromotion = !o.noPromotion;
  layout.promotion = PromotionLine(plan.encodings->Text());
  layout.rules = &plan.encodings->Rules();
  layout.preamble = plan.encodings->Preamble();
  layout.volumeFolders = VolumeFolders();
  // Clean-up looks at every byte and hands the pieces a few KB at a time: its work and the
  // writes share the two cores. Written as they lie, the pieces cost little more than the
  // writes, which then stay on the run's thread.
  layout.writeBehind = o.trimSpaces;
  if (o.join && plan.list) {
    const auto count = static_cast<std::int64_t>(plan.list->entries.size());
    layout.joinedName = layout.namer.NamePart() + "_" +
                        PieceNamer::SequenceText(o.chapters.First(count)) + "-" +
                        PieceNamer::SequenceText(o.chapters.Last(count)) + ".txt";
  }
}

std::optional<SplitEnd> SplitRun::PrepareList(Plan& plan) const {
  const SplitOptions& o = m_options;
  const bool choosing = !o.chapters.All() || o.join;
  if (o.mode != SplitMode::ByChapter || (!o.toc && !choosing)) return std::nullopt;
  Message message;
  if (o.toc) {
    plan.list = &*o.toc;
    // A list a split by byte ranges may use is checked while the pieces are written.
    plan.checkHeld = CheckWhileWriting(plan);
    if (!plan.checkHeld) {
      if (auto end = CheckList(plan, nullptr)) return end;
    }
  } else {
    // Chapters are chosen by their number in the list the rule gives: it is made first.
    SplitOptions listed = o;
    listed.outEncoding = Encoding::Auto;
    ScanResult scan = ChapterScan::Run(listed);
    switch (scan.status) {
      case ScanResult::Status::Done:
        break;
      case ScanResult::Status::Stopped:
        return SplitEnd{SplitOutcome::Stopped, {MessageId::Stopped}, {}};
      case ScanResult::Status::Refused:
        return SplitEnd{SplitOutcome::Refused, std::move(scan.error), {}};
      case ScanResult::Status::Failed:
        return SplitEnd{SplitOutcome::Failed, std::move(scan.error), {}};
    }
    if (scan.headingCount > static_cast<std::int64_t>(scan.headings.size())) {
      return SplitEnd{SplitOutcome::Refused,
                      {MessageId::TooManyChapters,
                       {std::to_string(scan.headingCount), std::to_string(scan.headings.size())}},
                      {}};
    }
    plan.made.emplace();
    plan.made->entries.reserve(scan.headings.size());
    for (const ScannedHeading& h : scan.headings) plan.made->entries.push_back({h.line, {}});
    plan.list = &*plan.made;
  }
  const auto count = static_cast<std::int64_t>(plan.list->entries.size());
  if (choosing && o.chapters.First(count) == 0) {
    const std::string chosen = o.chapters.All() ? std::string("1-") : o.chapters.Text();
    return SplitEnd{
        SplitOutcome::Refused, {MessageId::NoChosenChapters, {chosen, std::to_string(count)}}, {}};
  }
  return std::nullopt;
}

std::optional<Message> SplitRun::ToRunText(Plan& plan) const {
  const SplitOptions& o = m_options;
  const RunEncodings& encodings = *plan.encodings;
  Message message;
  if (o.mode == SplitMode::ByChapter && !plan.split.ByRule() && !o.toc) {
    auto keywords = encodings.ToText(plan.split.KeywordText(), o.textEncoding,
                                     MessageId::UnwritableKeywords, message);
    if (!keywords) return message;
    plan.split.SetKeywordText(std::move(*keywords));
    const Numerals::Series series = plan.split.Series();
    // Every digit and unit a chapter number up to 10000 is written with.
    if (series != Numerals::Series::None && HeadingMatcher::HasWildcard(plan.split.Keywords())) {
      for (const std::int64_t n : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 100, 1000, 10000}) {
        if (!encodings.ToText(Numerals::Text(n, series), Encoding::Gbk,
                              MessageId::UnwritableNumerals, message)) {
          return message;
        }
      }
    }
  }
  if (o.addHead) {
    auto head = encodings.ToText(o.head, o.textEncoding, MessageId::UnwritableHead, message);
    if (!head) return message;
    plan.layout.head = std::move(*head);
  }
  if (o.addTail) {
    auto tail = encodings.ToText(o.tail, o.textEncoding, MessageId::UnwritableTail, message);
    if (!tail) return message;
    plan.layout.tail = std::move(*tail);
  }
  return std::nullopt;
}

bool SplitRun::RangeOptions() const {
  const SplitOptions& o = m_options;
  return m_bRangeCopies && o.mode == SplitMode::ByChapter && o.chapters.All() && !o.join &&
         !o.trimSpaces && !VolumeFolders();
}

bool SplitRun::BytesAsTheyLie(const Plan& plan) const {
  const RunEncodings& e = *plan.encodings;
  // The source's bytes are the pieces': read as they lie, or only checked (UTF-8).
  const bool asTheyLie = e.Source() == e.Text() && e.Output() == e.Text() &&
                         e.MarkBytes() == 0 && !Encodings::IsUtf16(e.Source());
  return RangeOptions() && asTheyLie;
}

bool SplitRun::RangesPossible(const Plan& plan) const {
  return m_options.toc && BytesAsTheyLie(plan);
}

std::optional<SplitEnd> SplitRun::SplitByRanges(Plan& plan) {
  const auto pieces = RangeSplitPass::PiecesFor(*plan.list, *plan.lines,
                                                m_options.chaptersPerPiece,
                                                plan.split.Namer().ByTitle());
  if (!pieces) return std::nullopt;
  ByteSource source;
  std::string reason;
  if (!source.Open(m_options.sourcePath, reason)) {
    return SplitEnd{SplitOutcome::Failed, {MessageId::OpenSource, {m_options.sourcePath, reason}},
                    {}};
  }
  PieceWriter writer(plan.layout, source.Device(), source.Inode());
  const RangeSplitPass::Settings settings{m_options.sourcePath, plan.split.Directory(),
                                          static_cast<std::int64_t>(plan.list->entries.size())};
  RangeSplitPass pass(source, writer, plan.host, settings);
  return pass.Run(*pieces, RangeSplitPass::TextEnd(plan.bookBytes, *plan.lines));
}

SplitEnd SplitRun::Split(Plan& plan) {
  if (auto end = m_pDetected ? SplitDetected(plan) : std::nullopt) return std::move(*end);
  if (auto end = plan.checkHeld ? SplitHeld(plan) : std::nullopt) return std::move(*end);
  if (auto end = plan.lines ? SplitByRanges(plan) : std::nullopt) return std::move(*end);
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
    return {SplitOutcome::Failed, {MessageId::OpenSource, {o.sourcePath, reason}}, {}};
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
  // Clean-up of runs of lines (in GBK, GB18030 and UTF-8 going out as they came) reads on
  // this thread: this one finds where runs end and the piece writer's cleans them (or this
  // one does, where pieces are cut by size), which keeps both busy. A reader of its own
  // would share what is often two cores with them, and a block it read on another core
  // would reach this one's cache only as it is looked at.
  const Encoding text = encodings.Text();
  const bool cleansInPlace = o.trimSpaces && encodings.Output() == text && RunCleaner::Cleans(text);
  source.SetReadAhead(cleansInPlace ? -1 : m_nReadAheadFrom, m_nAheadChunk);
  // While the run waits for a piece written behind to reach the disk, the reader reads on.
  if (o.trimSpaces) source.SetAheadBlocks(4);
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
  return WritePieces(plan, source, decoder);
}

SplitEnd SplitRun::WritePieces(Plan& plan, LineReader& source, const SourceDecoder& decoder) {
  const bool converts = decoder.Converts();
  const SplitOptions& o = m_options;
  const RunEncodings& encodings = *plan.encodings;
  const TextRules& rules = encodings.Rules();
  PieceWriter writer(plan.layout, source.Device(), source.Inode());
  std::unique_ptr<Splitter> splitter;
  if (o.mode == SplitMode::ByChapter) {
    std::optional<HeadingRule> rule;
    if (plan.split.ByRule()) {
      rule.emplace(plan.split.Patterns(), o.titleMax, rules);
      rule->StartAt(o.firstNumber);
    }
    auto chapters = std::make_unique<ChapterSplitter>(
        rule ? HeadingMatcher(std::move(*rule))
             : HeadingMatcher(plan.split.Keywords(), plan.split.Series(), o.titleMax, rules),
        o.chaptersPerPiece, plan.split.Namer().ByTitle(), writer, rules);
    if (plan.split.VolumePatterns()) {
      chapters->SetVolumes(HeadingRule(*plan.split.VolumePatterns(), o.titleMax, rules));
    }
    chapters->SetHeadingsFrom(o.headingsFrom);
    chapters->SetVolumeFolders(VolumeFolders());
    if (!m_onlyLines.empty() && !plan.list) chapters->OnlyAtLines(m_onlyLines);
    if (plan.list) {
      chapters->CutAtLines(*plan.list);
      if (!o.chapters.All() || o.join) {
        chapters->Choose(o.chapters, static_cast<std::int64_t>(plan.list->entries.size()), o.join);
      }
    }
    splitter = std::move(chapters);
  } else {
    std::int64_t length = source.Length();
    if (o.mode == SplitMode::Evenly && converts) {
      length = ConvertedLength(encodings, rules, o.parts);
      if (length < 0) return {SplitOutcome::Stopped, {MessageId::Stopped}, {}};
    }
    auto limits = o.mode == SplitMode::Evenly ? SizeSplitter::ForParts(length, o.parts, plan.layout)
                                              : SizeSplitter::ForSize(o.maxKb);
    if (o.mode == SplitMode::BySize && m_nSizeLimitBytes >= 0) limits.limit = m_nSizeLimitBytes;
    // A byte-order mark is not counted as text, but it is on disk within the size asked for.
    if (o.mode == SplitMode::BySize) limits.limit -= rules.Written(plan.layout.preamble);
    splitter = std::make_unique<SizeSplitter>(limits, o.mode == SplitMode::BySize && o.keepLines,
                                              writer, rules);
  }
  const SplitPass::Settings settings{converts,     o.trimSpaces,           m_bLineRuns,
                                     o.sourcePath, plan.split.Directory(), &decoder};
  SplitPass pass(source, writer, *splitter, plan.host, encodings, settings);
  return pass.Run();
}

std::int64_t SplitRun::ConvertedLength(const RunEncodings& encodings, const TextRules& rules,
                                       std::int64_t parts) {
  // The text is read once through a decoder of its own and measured as the pieces count it.
  std::string reason;
  ByteSource file;
  if (!file.Open(m_options.sourcePath, reason))
    return 0;  // the split itself says why it cannot read
  SourceDecoder decoder(encodings.Source(), encodings.Text(), encodings.MarkBytes(),
                        encodings.Output());
  std::vector<char> chunk(LineReader::kChunkBytes);
  std::int64_t length = 0;
  while (true) {
    if (!m_host.Progress(0, -1)) {
      length = -1;
      break;
    }
    const ssize_t got = decoder.Read(file, chunk.data(), chunk.size());
    if (got <= 0) break;  // a failure is the split's to meet and report
    length += rules.Written(std::string_view(chunk.data(), static_cast<std::size_t>(got)));
  }
  // A cut falls at most a character short of the limit, where the limit leaves room for one
  // byte: each part gets room for the rest of the longest character, so that the parts
  // together hold all of the text.
  const Encoding text = rules.TextEncoding();
  const std::int64_t longest = text == Encoding::Gbk || text == Encoding::Big5 ? 2 : 4;
  return length < 0 ? length : length + parts * (longest - 1);
}

}  // namespace sekato::engine

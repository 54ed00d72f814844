#include "sekato/chapterscan.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>

#include "asciitext.h"
#include "bytesource.h"
#include "chaptersplitter.h"
#include "headingforms.h"
#include "headingmatcher.h"
#include "headingsurvey.h"
#include "linesieve.h"
#include "linetransform.h"
#include "linewalk.h"
#include "numberingcheck.h"
#include "progressshare.h"
#include "runencodings.h"
#include "seenlookahead.h"
#include "sekato/message.h"
#include "sekato/textrules.h"
#include "sourcedecoder.h"
#include "sourcefingerprint.h"
#include "splitplan.h"
#include "surveyslice.h"
#include "textcodec.h"
#include "transformedtext.h"

namespace sekato::engine {

namespace {

constexpr std::size_t kPartLimit = LineWalk::kPartLimit;
constexpr std::int64_t kProgressStep = std::int64_t{1} << 20;

// True when only white space stands before byte `start` of `line`.
bool AtLineStart(std::string_view line, std::size_t start) {
  return AsciiText::Trim(line.substr(0, start)).empty();
}

// Takes one whole line (data, size, source offset of its first byte); it may clean the line
// in place. Sifting, it answers whether only the first needle is needed from now on.
using LineTaker = std::function<void(char*, std::size_t, std::int64_t)>;
using SiftedLineTaker = std::function<bool(char*, std::size_t, std::int64_t)>;
// Told the source offset come to; false stops the pass.
using KeepGoing = std::function<bool(std::int64_t)>;
enum class Reading { Done, Stopped, Failed };

// The byte strings, in `text`, one of which every line that matters holds: the longest piece
// of keyword between "?"s (every heading and near miss holds each piece), then, for the
// heading forms told while nothing is found, 第 and Chapter as HeadingForms spells it.
// Empty when no piece is two bytes long: the lines are then read one by one.
std::vector<std::string> Needles(const std::vector<std::string>& keywords, Encoding text) {
  std::string longest;
  for (const std::string& keyword : keywords) {
    for (std::size_t start = 0; start <= keyword.size();) {
      const std::size_t mark = std::min(keyword.find('?', start), keyword.size());
      if (mark - start > longest.size()) longest = keyword.substr(start, mark - start);
      start = mark + 1;
    }
  }
  if (longest.size() < 2 || longest.find('\n') != std::string::npos) return {};
  std::vector<std::string> needles = {longest};
  std::vector<std::string> forms = {"Chapter", "CHAPTER"};
  if (auto di = TextCodec::Convert("\xE7\xAC\xAC", Encoding::Utf8, text)) {  // 第
    forms.insert(forms.begin(), std::move(*di));
  }
  for (std::string& form : forms) {
    if (form != longest) needles.push_back(std::move(form));
  }
  return needles;
}

// Every line of the source, read one by one as the split reads it (see LineWalk).
Reading ReadLines(const std::string& path, std::size_t markBytes, SourceDecoder& decoder,
                  const TextRules& rules, ScanResult& r, const LineTaker& take,
                  const KeepGoing& keepGoing, Message& failure) {
  switch (LineWalk::Run(path, markBytes, decoder, rules, r.lines, r.sourceBytes, take, keepGoing,
                        failure)) {
    case LineWalk::End::Done:
      return Reading::Done;
    case LineWalk::End::Stopped:
      return Reading::Stopped;
    case LineWalk::End::Failed:
      break;
  }
  return Reading::Failed;
}

// The lines of a source read as it lies in the file that hold one of `needles`, with their
// numbers; r.lines ends as the count of all lines.
Reading SiftLines(const std::string& path, std::size_t markBytes, std::vector<std::string> needles,
                  std::size_t lineLimit, ScanResult& r, const SiftedLineTaker& take,
                  const KeepGoing& keepGoing, Message& failure) {
  LineSieve sieve(std::move(needles), kPartLimit);
  sieve.SetLineLimit(lineLimit);
  std::string reason;
  if (!sieve.Open(path, static_cast<std::int64_t>(markBytes), reason)) {
    failure = {MessageId::OpenSource, {path, reason}};
    return Reading::Failed;
  }
  r.sourceBytes = sieve.Length();
  bool narrowed = false;
  const LineSieve::End end = sieve.Run(
      [&](const LineSieve::Line& line) {
        r.lines = line.number;
        if (take(line.data, line.size, line.offset) && !narrowed) {
          sieve.Narrow(1);
          narrowed = true;
        }
        return true;
      },
      keepGoing);
  r.lines = sieve.Lines();
  if (end == LineSieve::End::Failed) {
    failure = {MessageId::ReadSource, {path, sieve.Error()}};
    return Reading::Failed;
  }
  return end == LineSieve::End::Done ? Reading::Done : Reading::Stopped;
}

// One pass of the chapter list over a source, in the steps Run names.
class Listing final {
 public:
  explicit Listing(const SplitOptions& options) : m_options(options), m_plan(options) {
    m_r.titleMax = options.titleMax;
  }

  ScanResult& Result() { return m_r; }
  /// Refuses what a split would refuse, finds the source's encoding and puts the keywords
  /// into the text the headings are matched in; false when the list ends here.
  bool Prepare(SplitHost* host);
  /// Reads the source and takes every line that may matter; false when stopped or failed.
  bool Read(SplitHost* host);
  /// Takes only the lines `seen` names, where they lie in the file: every other line of the
  /// source's `lines` is known to be no heading by the rule. False when failed.
  bool ReadSeen(const HeadingSurvey::Result& survey, SplitHost* host);
  /// ReadSeen with a rule: the lines are matched ahead on other threads (SeenLookahead).
  bool ReadSeenByRule(const HeadingSurvey::Result& survey, unsigned threads, SplitHost* host);
  /// Closes the last piece and sums up; `host`, if any, hears of lines a rule gave up on.
  void Finish(SplitHost* host);

 private:
  void End(ScanResult::Status status, Message message) {
    m_r.status = status;
    m_r.error = std::move(message);
  }
  /// One whole line as the split reads it, line m_r.lines, starting at source byte
  /// `lineOffset`; it may be cleaned in place.
  void TakeLine(char* data, std::size_t size, std::int64_t lineOffset);
  void TakeNearMiss(std::string_view line);
  /// `title`, when given, is the line's clean title, made already (on another thread: it is
  /// copied, so that what the list keeps is allocated here, where the survey's memory was
  /// given back).
  void TakeHeading(std::string_view line, std::int64_t lineOffset,
                   const std::string* title = nullptr);
  void TakeVolume(std::string_view line, std::int64_t lineOffset);
  void ClosePiece(std::int64_t end);

  const SplitOptions& m_options;
  SplitPlan m_plan;
  ScanResult m_r;
  std::optional<RunEncodings> m_encodings;
  const TextRules* m_rules = nullptr;       ///< of the source's text
  const TextRules* m_matchRules = nullptr;  ///< of the text headings are matched in
  Encoding m_text = Encoding::Gbk;
  bool m_converts = false;  ///< lines are converted to be matched
  std::vector<std::string> m_textKeywords;
  std::optional<SourceDecoder> m_decoder;
  std::optional<HeadingMatcher> m_matcher;
  std::optional<HeadingMatcher> m_wide;  ///< without the title limit: tells near misses
  bool m_nearMisses = false;
  bool m_oneMatcher = false;
  bool m_byRule = false;                 ///< headings by a regular expression
  std::optional<HeadingRule> m_volumes;  ///< volume headings, with a rule
  bool m_opened = false;           ///< a volume heading opened the next chapter's piece already
  bool m_folders = false;          ///< each volume's pieces go into a folder of its own
  std::int64_t m_volumeCount = 0;  ///< volume headings passed
  std::int64_t m_base = 0;         ///< with folders: headings before the current volume
  std::string m_folder;  ///< with folders: "01_第一卷 风起/", once a volume is passed
  std::int64_t m_matchMax = 0;
  std::string m_converted;
  std::int64_t m_wideCount = 0;
  HeadingForms m_forms;
  NumberingCheck m_numbering;
  std::int64_t m_count = 0;       ///< headings found
  std::int64_t m_pieceStart = 0;  ///< offset where the current piece's text begins
  std::string m_pieceTitle;
};

bool Listing::Prepare(SplitHost* host) {
  const SplitOptions& o = m_options;
  if (auto refusal = m_plan.Refusal(SplitPlan::Purpose::ChapterList)) {
    End(ScanResult::Status::Refused, std::move(*refusal));
    return false;
  }
  // The source is read in its own encoding, as a split into pieces of that encoding reads it.
  SplitOptions asSource = o;
  asSource.outEncoding = Encoding::Auto;
  Message message;
  bool refused = false;
  m_encodings = RunEncodings::Resolve(asSource, message, refused);
  if (!m_encodings) {
    End(refused ? ScanResult::Status::Refused : ScanResult::Status::Failed, std::move(message));
    return false;
  }
  if (host) host->ReportEncoding(m_encodings->Source(), m_encodings->Detected());
  m_rules = &m_encodings->Rules();
  m_text = m_encodings->Text();
  // Headings are matched in GBK or GB18030, as the split's matcher does: a line of any other
  // text is converted first, and what the result holds of it stays in that form.
  m_converts = m_text != Encoding::Gbk && m_text != Encoding::Gb18030;
  m_r.sourceEncoding = m_encodings->Source();
  m_r.textEncoding = m_converts ? Encoding::Gb18030 : m_text;
  m_matchRules = &TextRules::For(m_r.textEncoding);
  m_decoder.emplace(m_encodings->Source(), m_text, m_encodings->MarkBytes(), m_encodings->Output());
  if (m_plan.ByRule()) {
    // A rule matches each line as UTF-8 itself: no keywords, near misses or forms.
    m_r.regex = o.regex;
    m_r.exclude = o.exclude;
    m_matcher.emplace(HeadingRule(m_plan.Patterns(), o.titleMax, *m_rules));
    m_matcher->Rule()->StartAt(o.firstNumber);
    if (m_plan.VolumePatterns()) m_volumes.emplace(*m_plan.VolumePatterns(), o.titleMax, *m_rules);
    m_folders = o.volumeFolders && m_volumes.has_value();
    m_byRule = true;
    return true;
  }
  // Keywords the book's encoding cannot hold are refused as the split refuses them.
  auto keywordText = m_encodings->ToText(m_plan.KeywordText(), o.textEncoding,
                                         MessageId::UnwritableKeywords, message);
  // The keywords as the source writes them, to sift its lines by.
  if (keywordText) m_textKeywords = HeadingMatcher::CutKeywords(*keywordText);
  if (keywordText && m_converts) {
    keywordText = TextCodec::Convert(*keywordText, m_text, m_r.textEncoding);
    if (!keywordText) message = {MessageId::UnwritableKeywords, {"?", "GB18030"}};
  }
  if (!keywordText) {
    End(ScanResult::Status::Refused, std::move(message));
    return false;
  }
  const std::vector<std::string> keywords = HeadingMatcher::CutKeywords(*keywordText);
  const Numerals::Series series = m_plan.Series();
  m_matcher.emplace(keywords, series, o.titleMax, *m_matchRules);
  // The same keywords without the title limit (up to the longest line a title can be) tell
  // the near misses; with "?" it counts its own chapters.
  constexpr auto kNearMissMax = static_cast<std::int64_t>(HeadingForms::kMaxLineBytes);
  m_nearMisses = 2 * o.titleMax < kNearMissMax;
  m_wide.emplace(keywords, series, kNearMissMax / 2, *m_matchRules);
  // Longer lines can be neither headings nor near misses: they are not converted.
  m_matchMax = std::max(kNearMissMax, 2 * o.titleMax);
  m_oneMatcher = m_nearMisses && !HeadingMatcher::HasWildcard(keywords);
  return true;
}

void Listing::ClosePiece(std::int64_t end) {
  const std::int64_t size = end - m_pieceStart;
  m_r.largestPiece = std::max(m_r.largestPiece, size);
  m_r.smallestPiece = m_r.pieces == 0 ? size : std::min(m_r.smallestPiece, size);
  ++m_r.pieces;
  m_pieceStart = end;
}

void Listing::TakeLine(char* data, std::size_t size, std::int64_t lineOffset) {
  if (m_options.trimSpaces) {
    size = m_rules->WidenFullWidthSpaces(data, size);
    size = AsciiText::TrimRight(std::string_view(data, size)).size();
    if (size == 0) return;
  }
  // The contents block a book opens with is preface, as the split has it.
  if (m_r.lines < m_options.headingsFrom) return;
  if (m_byRule) {
    std::string_view line(data, size);
    if (m_volumes && m_volumes->IsHeading(line)) {
      if (m_folders && m_converts && !HeadingMatcher::ToMatchText(line, m_text, m_converted)) {
        m_converted.clear();
      }
      TakeVolume(m_folders && m_converts ? std::string_view(m_converted) : line, lineOffset);
      return;
    }
    if (!m_matcher->IsHeading(line, m_count)) return;
    // Titles are listed in the text headings are matched in by keywords, as ever.
    if (m_converts && !HeadingMatcher::ToMatchText(line, m_text, m_converted)) return;
    TakeHeading(m_converts ? std::string_view(m_converted) : line, lineOffset);
    return;
  }
  if (m_converts) {
    if (!m_rules->FitsTitle(std::string_view(data, size), m_matchMax) ||
        !HeadingMatcher::ToMatchText(std::string_view(data, size), m_text, m_converted)) {
      return;
    }
    data = m_converted.data();
    size = m_converted.size();
  }
  const std::string_view line(data, size);
  // The forms are told only while nothing is found: they are reported only then.
  if (m_count == 0 && size <= HeadingForms::kMaxLineBytes) m_forms.Add(line);
  const std::int64_t titleBytes = 2 * m_options.titleMax;
  bool wideHeading = false;
  bool heading = false;
  if (m_oneMatcher) {
    // Without "?" the wide matcher answers both questions: a heading is a wide heading
    // within the title limit. One search a line keeps the pass at read speed.
    wideHeading = m_wide->IsHeading(line, 0);
    heading = wideHeading && m_matchRules->FitsTitle(line, titleBytes);
  } else {
    wideHeading = m_nearMisses && m_wide->IsHeading(line, m_wideCount);
    if (wideHeading) ++m_wideCount;
    heading = m_matcher->IsHeading(line, m_count);
  }
  if (heading) {
    TakeHeading(line, lineOffset);
  } else if (wideHeading && !m_matchRules->FitsTitle(line, titleBytes) &&
             AtLineStart(line, m_wide->LastStart())) {
    TakeNearMiss(line);
  }
}

void Listing::TakeNearMiss(std::string_view line) {
  const std::int64_t chars = (static_cast<std::int64_t>(line.size()) + 1) / 2;
  ++m_r.nearMissCount;
  m_r.suggestedTitleMax = std::max(m_r.suggestedTitleMax, chars);
  if (m_r.nearMisses.size() < ScanResult::kMaxNearMissesListed) {
    m_r.nearMisses.push_back({m_r.lines, chars, std::string(line)});
  }
}

void Listing::TakeVolume(std::string_view line, std::int64_t lineOffset) {
  m_matcher->Rule()->StartVolume();
  if (m_folders) {
    // As the split has it: the volume opens its folder and, unless the piece at hand holds
    // the preface only, its first piece; the preface goes into the first folder.
    ++m_volumeCount;
    m_base = m_count;
    const std::string title = ChapterSplitter::CleanTitle(line, *m_matchRules);
    m_folder = PieceNamer::FolderName(m_volumeCount, title, m_r.textEncoding) + "/";
    if (m_count > 0 || m_volumeCount > 1) {
      ClosePiece(lineOffset);
      m_opened = true;
      m_pieceTitle = title;
    }
    if (m_volumeCount == 1) {
      for (ScannedHeading& h : m_r.headings) h.file.insert(0, m_folder);
    }
    return;
  }
  // As the split has it: the volume heading opens the next chapter's piece, when it opens one.
  if (m_count > 0 && !m_opened &&
      ChapterSplitter::OpensPiece(m_count + 1, m_options.chaptersPerPiece)) {
    ClosePiece(lineOffset);
    m_opened = true;
  }
}

void Listing::TakeHeading(std::string_view line, std::int64_t lineOffset,
                          const std::string* title) {
  const std::int64_t perFile = m_options.chaptersPerPiece;
  ++m_count;
  if (m_count == 1) {
    m_r.prefaceBytes = lineOffset;
  } else if (!m_r.headings.empty() && m_r.headings.back().index == m_count - 1) {
    m_r.headings.back().size = lineOffset - m_r.headings.back().offset;
  }
  // Pieces open where the split opens them; with folders, chapters count from the volume.
  const bool opens = ChapterSplitter::OpensPiece(m_count - m_base, perFile);
  if (opens && !m_opened) ClosePiece(lineOffset);
  const bool opened = m_opened;
  m_opened = false;
  ScannedHeading h;
  h.index = m_count;
  h.number = m_oneMatcher && !m_byRule ? m_wide->LastNumber() : m_matcher->LastNumber();
  h.line = m_r.lines;
  h.offset = lineOffset;
  h.piece = m_r.pieces + 1;
  h.title = title ? *title : ChapterSplitter::CleanTitle(line, *m_matchRules);
  if (opens || opened || m_count == 1) m_pieceTitle = h.title;
  h.file = m_folder + m_plan.Namer().FinalName(h.piece, m_pieceTitle, m_r.textEncoding);
  m_numbering.Add(h.number, h.line, h.index);
  if (m_r.headings.empty()) {
    // Room for a heading every 4 KB at once: a long book's list is not copied over and
    // over as it grows, and pages no heading reaches are never touched.
    const std::int64_t room = std::max<std::int64_t>(m_r.sourceBytes, 0) / 4096 + 64;
    m_r.headings.reserve(
        static_cast<std::size_t>(std::min<std::int64_t>(ScanResult::kMaxListed, room)));
  }
  if (m_r.headings.size() < ScanResult::kMaxListed) m_r.headings.push_back(std::move(h));
}

bool Listing::Read(SplitHost* host) {
  const SplitOptions& o = m_options;
  std::int64_t nextReport = kProgressStep;
  // False when the pass is to stop, having come to source byte `offset`.
  const auto keepGoing = [&](std::int64_t offset) {
    if (offset < nextReport) return true;
    nextReport = offset + kProgressStep;
    return !host || host->Progress(offset, m_r.sourceBytes);
  };
  // Text read as it lies in the file is sifted: only the lines that hold a keyword or a
  // heading form are looked at. A converted source is read line by line.
  std::vector<std::string> needles;
  if (!m_decoder->Converts()) needles = Needles(m_textKeywords, m_text);
  // A longer line is neither heading, near miss nor heading form: the sieve passes over
  // it. The limits measure characters as GBK does, which in GBK is the bytes; in another
  // encoding a character may take up to twice the bytes it measures. Trimming may shorten
  // a line, so then every line is looked at.
  auto lineLimit = static_cast<std::size_t>(-1);
  const std::int64_t longest =
      std::max(m_matchMax, static_cast<std::int64_t>(HeadingForms::kMaxLineBytes));
  if (!o.trimSpaces && longest <= static_cast<std::int64_t>(kPartLimit / 2)) {
    lineLimit = static_cast<std::size_t>(longest) * (m_text == Encoding::Gbk ? 1 : 2);
  }
  const auto take = [this](char* data, std::size_t size, std::int64_t lineOffset) {
    TakeLine(data, size, lineOffset);
  };
  Message failure;
  const std::size_t markBytes = m_encodings->MarkBytes();
  const Reading reading =
      needles.empty()
          ? ReadLines(o.sourcePath, markBytes, *m_decoder, *m_rules, m_r, take, keepGoing, failure)
          : SiftLines(
                o.sourcePath, markBytes, std::move(needles), lineLimit, m_r,
                [&](char* data, std::size_t size, std::int64_t lineOffset) {
                  take(data, size, lineOffset);
                  return m_count > 0;  // then the forms are needed no more
                },
                keepGoing, failure);
  if (reading == Reading::Done) {
    if (host) host->Progress(m_r.sourceBytes, m_r.sourceBytes);
    return true;
  }
  End(reading == Reading::Stopped ? ScanResult::Status::Stopped : ScanResult::Status::Failed,
      std::move(failure));
  return false;
}

bool Listing::ReadSeenByRule(const HeadingSurvey::Result& survey, unsigned threads,
                             SplitHost* host) {
  if (!m_byRule) return ReadSeen(survey, host);
  {
    ByteSource file;
    std::string reason;
    if (!file.Open(m_options.sourcePath, reason)) {
      End(ScanResult::Status::Failed, {MessageId::OpenSource, {m_options.sourcePath, reason}});
      return false;
    }
    m_r.sourceBytes = file.Length();
  }
  SeenLookahead::Setup setup;
  setup.heading = m_plan.Patterns();
  setup.volumes = m_plan.VolumePatterns();
  setup.titleMax = m_options.titleMax;
  setup.rules = m_rules;
  setup.matchRules = m_matchRules;
  setup.text = m_text;
  setup.converts = m_converts;
  setup.trimSpaces = m_options.trimSpaces;
  setup.headingsFrom = m_options.headingsFrom;
  setup.sourcePath = m_options.sourcePath;
  const SeenLookahead lookahead(std::move(setup));
  const bool read = lookahead.Run(survey, threads, [&](SeenLookahead::Entry& entry) {
    if (!entry.failure.empty()) {
      End(ScanResult::Status::Failed,
          {MessageId::ReadSource, {m_options.sourcePath, entry.failure}});
      return false;
    }
    if (entry.skipped) return true;
    m_r.lines = entry.line;
    // As TakeLine has it, the line matched already.
    if (m_volumes && m_volumes->Take(entry.volume)) {
      std::string_view line = entry.text;
      if (m_folders && m_converts) {
        if (!HeadingMatcher::ToMatchText(line, m_text, m_converted)) m_converted.clear();
        line = m_converted;
      }
      TakeVolume(line, entry.offset);
      return true;
    }
    if (!m_matcher->Take(entry.heading) || !entry.listable) return true;
    TakeHeading(m_converts ? std::string_view(entry.listed) : entry.text, entry.offset,
                &entry.title);
    return true;
  });
  if (!read) return false;
  m_r.lines = survey.lines;
  if (host) host->Progress(m_r.sourceBytes, m_r.sourceBytes);
  return true;
}

bool Listing::ReadSeen(const HeadingSurvey::Result& survey, SplitHost* host) {
  ByteSource file;
  std::string reason;
  if (!file.Open(m_options.sourcePath, reason)) {
    End(ScanResult::Status::Failed, {MessageId::OpenSource, {m_options.sourcePath, reason}});
    return false;
  }
  m_r.sourceBytes = file.Length();
  std::string line;
  for (const HeadingSurvey::Result::Seen& at : survey.seen) {
    const auto size = static_cast<std::size_t>(at.size);
    int error = 0;
    if (at.text >= 0) {
      line.assign(survey.seenText, static_cast<std::size_t>(at.text), size);
    } else if (line.resize(size); file.ReadFullyAt(line.data(), size, at.offset, error) != size) {
      End(ScanResult::Status::Failed,
          {MessageId::ReadSource,
           {m_options.sourcePath, error != 0 ? std::strerror(error) : "the file got shorter"}});
      return false;
    }
    m_r.lines = at.line;
    TakeLine(line.data(), line.size(), at.offset);
  }
  m_r.lines = survey.lines;
  if (host) host->Progress(m_r.sourceBytes, m_r.sourceBytes);
  return true;
}

void Listing::Finish(SplitHost* host) {
  const HeadingRule* rule = m_matcher ? m_matcher->Rule() : nullptr;
  if (host && rule && !rule->FirstCostlyLine().empty()) {
    host->Warn({MessageId::CostlyPattern, {rule->FirstCostlyLine()}});
  }
  if (!m_r.headings.empty() && m_r.headings.back().index == m_count) {
    m_r.headings.back().size = m_r.sourceBytes - m_r.headings.back().offset;
  }
  ClosePiece(m_r.sourceBytes);
  m_r.headingCount = m_count;
  m_r.numbering = m_numbering.Issues();
  if (m_count == 0) m_r.forms = m_forms.Forms(m_options.titleMax);
}

}  // namespace

// The book is transformed into a file of its own first, then listed as it is.
ScanResult ChapterScan::RunTransformed(const SplitOptions& options, SplitHost* host) {
  ScanResult result;
  const auto stop = [&](ScanResult::Status status, Message message) {
    result.status = status;
    result.error = std::move(message);
    return result;
  };
  SplitOptions listed = options;
  listed.outEncoding = Encoding::Auto;
  if (auto refusal = SplitPlan(listed).Refusal(SplitPlan::Purpose::ChapterList)) {
    return stop(ScanResult::Status::Refused, std::move(*refusal));
  }
  Message message;
  bool refused = false;
  const auto encodings = RunEncodings::Resolve(listed, message, refused);
  if (!encodings) {
    return stop(refused ? ScanResult::Status::Refused : ScanResult::Status::Failed,
                std::move(message));
  }
  if (host) host->ReportEncoding(encodings->Source(), encodings->Detected());
  auto transform = LineTransform::Make(listed, message);
  if (!transform) return stop(ScanResult::Status::Failed, std::move(message));
  // Converted text is listed as UTF-8, which holds any character the conversion makes.
  const Encoding text =
      options.convert != ScriptConversion::None ? Encoding::Utf8 : encodings->Text();
  std::error_code ignored;
  const std::string folder = std::filesystem::temp_directory_path(ignored).string();
  TransformedText written;
  std::optional<ProgressShare> first;
  if (host) first.emplace(*host, 0, 2);
  TransformedText::Result end =
      written.Write(listed.sourcePath, encodings->Source(), encodings->MarkBytes(), text, text,
                    *transform, folder.empty() ? "/tmp" : folder, first ? &*first : nullptr);
  switch (end.end) {
    case TransformedText::End::Done:
      break;
    case TransformedText::End::Stopped:
      result.status = ScanResult::Status::Stopped;
      return result;
    case TransformedText::End::Failed:
      return stop(ScanResult::Status::Failed, std::move(end.message));
  }
  if (end.cutShort) return stop(ScanResult::Status::Failed, std::move(*end.cutShort));
  listed.replaceRules.clear();
  listed.convert = ScriptConversion::None;
  listed.sourcePath = written.Path();
  listed.encoding = text;
  std::optional<TransformedHost> second;
  if (host) second.emplace(*host);
  result = Run(listed, second ? &*second : nullptr);
  written.NameSource(result.error, options.sourcePath);
  result.sourceEncoding = encodings->Source();
  // The list is for the book: what tells it from other books is the book's own size.
  const auto bookBytes = std::filesystem::file_size(options.sourcePath, ignored);
  if (!ignored) result.sourceBytes = static_cast<std::int64_t>(bookBytes);
  result.ruleCounts = transform->Counts();
  return result;
}

std::string ChapterScan::SourceHash(const std::string& path) {
  Message ignored;
  const auto print = SourceFingerprint::Of(path, Encoding::Gbk, true, ignored);
  return print ? print->hash : std::string();
}

ScanResult ChapterScan::Run(const SplitOptions& options, SplitHost* host) {
  if (options.Transforms()) return RunTransformed(options, host);
  if (!options.autoDetect) {
    Listing listing(options);
    if (listing.Prepare(host) && listing.Read(host)) listing.Finish(host);
    return std::move(listing.Result());
  }
  // Detection first; then the list by the rule it found, as a split with it would cut.
  std::optional<ProgressShare> detection;
  std::optional<ProgressShare> listed;
  if (host) {
    detection.emplace(*host, 0, 2);
    listed.emplace(*host, 1, 2);
  }
  HeadingSurvey::Result survey = HeadingSurvey::Run(options, detection ? &*detection : nullptr);
  ScanResult result;
  switch (survey.end) {
    case HeadingSurvey::End::Done:
      break;
    case HeadingSurvey::End::Stopped:
      result.status = ScanResult::Status::Stopped;
      return result;
    case HeadingSurvey::End::Refused:
    case HeadingSurvey::End::Failed:
      result.status = survey.end == HeadingSurvey::End::Refused ? ScanResult::Status::Refused
                                                                : ScanResult::Status::Failed;
      result.error = std::move(survey.message);
      return result;
  }
  if (survey.detection.found) {
    SplitOptions byRule = options;
    byRule.autoDetect = false;
    HeadingSurvey::Apply(survey.detection, byRule);
    // The encoding the survey found holds for the second pass: not guessed again.
    byRule.encoding = survey.sourceEncoding;
    Listing listing(byRule);
    SplitHost* second = listed ? &*listed : nullptr;
    // The survey kept every line that may start a heading: the rest need not be read again.
    if (listing.Prepare(second) &&
        (survey.allSeen ? listing.ReadSeenByRule(survey, SurveySlice::Threads(), second)
                        : listing.Read(second))) {
      listing.Finish(second);
    }
    result = std::move(listing.Result());
  } else {
    result.sourceEncoding = survey.sourceEncoding;
    result.sourceBytes = survey.sourceBytes;
    result.lines = survey.lines;
    result.titleMax = options.titleMax;
  }
  result.detected = true;
  result.detection = std::move(survey.detection);
  return result;
}

}  // namespace sekato::engine

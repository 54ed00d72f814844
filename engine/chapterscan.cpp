#include "chapterscan.h"

#include <algorithm>
#include <functional>
#include <optional>

#include "chaptersplitter.h"
#include "gbktext.h"
#include "headingforms.h"
#include "headingmatcher.h"
#include "linereader.h"
#include "linesieve.h"
#include "messages.h"
#include "numberingcheck.h"
#include "numberparse.h"
#include "piecewriter.h"
#include "runencodings.h"
#include "sourcedecoder.h"
#include "sourcepath.h"
#include "textcodec.h"
#include "textrules.h"

namespace sekato::engine {

namespace {

// As the split reads long lines: in parts of this size, so memory stays bounded.
constexpr std::size_t kPartLimit = std::size_t{1} << 20;
constexpr std::int64_t kProgressStep = std::int64_t{1} << 20;

std::optional<std::string> Refusal(const std::string& keywordText,
                                   const std::vector<std::string>& keywords, std::int64_t perFile,
                                   std::int64_t titleLimit, Numerals::Series series) {
  if (keywordText.empty()) return std::string(Messages::kEmptyKeywords);
  if (perFile <= 0) return std::string(Messages::kBadChaptersPerFile);
  if (titleLimit < 0) return std::string(Messages::kNegativeTitle);
  if (keywords.size() > HeadingMatcher::kMaxKeywords) {
    return std::string(Messages::kTooManyKeywords);
  }
  if (series == Numerals::Series::None && HeadingMatcher::HasWildcard(keywords)) {
    return std::string(Messages::kNoNumeralSeries);
  }
  return std::nullopt;
}

// The name the piece `number`, opened by a heading titled `title` (in `text`), ends up with.
std::string PieceFileName(const SplitOptions& o, std::int64_t number, const std::string& title,
                          Encoding text) {
  std::string utf8Title;
  if (o.m_nNameMode == 2 && PieceWriter::TitleFileName(title, text, utf8Title)) {
    return PieceWriter::SequenceText(number) + "_" + utf8Title + ".txt";
  }
  const std::string& namePart = o.m_nNameMode == 1 ? o.m_strCustomName : o.m_strSrcTitle;
  const std::string sequence = PieceWriter::SequenceText(number);
  std::string name;
  name.reserve(namePart.size() + sequence.size() + 5);
  return name.append(namePart).append(1, '_').append(sequence).append(".txt");
}

// True when only white space stands before byte `start` of `line`.
bool AtLineStart(std::string_view line, std::size_t start) {
  return GbkText::Trim(line.substr(0, start)).empty();
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

// Every line of the source, read one by one as the split reads it (through the decoder when
// it converts or skips a byte-order mark), counted in r.lines; lines longer than a part are
// body text and not taken.
Reading ReadLines(const std::string& path, std::size_t markBytes, SourceDecoder& decoder,
                  const TextRules& rules, ScanResult& r, const LineTaker& take,
                  const KeepGoing& keepGoing, std::string& failure) {
  LineReader source;
  std::string reason;
  if (!source.Open(path, reason)) {
    failure = Messages::Format(Messages::kOpenSource, path, reason);
    return Reading::Failed;
  }
  r.sourceBytes = source.Length();
  if (decoder.Converts() || markBytes > 0) source.SetDecoder(&decoder);
  source.SetRules(rules);
  source.SetPartLimit(kPartLimit);
  char* data = nullptr;
  std::size_t size = 0;
  bool complete = true;
  bool inLine = false;
  // Offsets count the source's bytes: the text read is shorter by a byte-order mark, and
  // for a UTF-16 source it is UTF-8, whose bytes the rules count as written in UTF-16.
  auto offset = static_cast<std::int64_t>(markBytes);
  std::int64_t read = 0;  // bytes of text read
  const std::int64_t breakByte = rules.BreakBytes() / 2;
  while (source.Next(data, size, complete)) {
    const bool lineStart = !inLine;
    inLine = !complete;
    const std::int64_t lineOffset = offset;
    const std::int64_t ends = source.Position() - read - static_cast<std::int64_t>(size);
    read = source.Position();
    offset += rules.Written(std::string_view(data, size)) + ends * breakByte;
    if (lineStart) ++r.lines;
    if (!keepGoing(offset)) return Reading::Stopped;
    if (lineStart && complete) take(data, size, lineOffset);  // parts of a long line are body
  }
  if (source.Failed()) {
    failure = Messages::Format(Messages::kReadSource, path, source.Error());
    return Reading::Failed;
  }
  return Reading::Done;
}

// The lines of a source read as it lies in the file that hold one of `needles`, with their
// numbers; r.lines ends as the count of all lines.
Reading SiftLines(const std::string& path, std::size_t markBytes, std::vector<std::string> needles,
                  std::size_t lineLimit, ScanResult& r, const SiftedLineTaker& take,
                  const KeepGoing& keepGoing, std::string& failure) {
  LineSieve sieve(std::move(needles), kPartLimit);
  sieve.SetLineLimit(lineLimit);
  std::string reason;
  if (!sieve.Open(path, static_cast<std::int64_t>(markBytes), reason)) {
    failure = Messages::Format(Messages::kOpenSource, path, reason);
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
    failure = Messages::Format(Messages::kReadSource, path, sieve.Error());
    return Reading::Failed;
  }
  return end == LineSieve::End::Done ? Reading::Done : Reading::Stopped;
}

}  // namespace

ScanResult ChapterScan::Run(const SplitOptions& o, Numerals::Series series,
                            const Progress& progress) {
  ScanResult r;
  const std::int64_t perFile = ParseNumber(o.m_strChaptersPerFile);
  const std::int64_t titleLimit = ParseNumber(o.m_strTitleMax);
  r.titleMax = titleLimit;
  const std::string typed = TextRules::For(o.m_textEncoding).NormaliseKeywords(o.m_strKeywords);
  if (auto refusal =
          Refusal(typed, HeadingMatcher::CutKeywords(typed), perFile, titleLimit, series)) {
    r.status = ScanResult::Status::Refused;
    r.error = std::move(*refusal);
    return r;
  }
  // What a split would wait on forever or read without end is refused as the split refuses it.
  if (SourcePath::IsSpecialFile(o.m_strSrcPath)) {
    r.status = ScanResult::Status::Refused;
    r.error = Messages::Format(Messages::kNotRegularSource, o.m_strSrcPath);
    return r;
  }

  // The source is read in its own encoding, as a split into pieces of that encoding reads it.
  SplitOptions asSource = o;
  asSource.m_outEncoding = Encoding::Auto;
  std::string message;
  bool refused = false;
  const auto encodings = RunEncodings::Resolve(asSource, message, refused);
  if (!encodings) {
    r.status = refused ? ScanResult::Status::Refused : ScanResult::Status::Failed;
    r.error = std::move(message);
    return r;
  }
  const TextRules& rules = encodings->Rules();
  const Encoding text = encodings->Text();
  // Headings are matched in GBK or GB18030, as the split's matcher does: a line of any other
  // text is converted first, and what the result holds of it stays in that form.
  const bool converts = text != Encoding::Gbk && text != Encoding::Gb18030;
  r.sourceEncoding = encodings->Source();
  r.textEncoding = converts ? Encoding::Gb18030 : text;
  const TextRules& matchRules = TextRules::For(r.textEncoding);
  // Keywords the book's encoding cannot hold are refused as the split refuses them.
  auto keywordText = encodings->ToText(typed, o.m_textEncoding, "关键字", message);
  // The keywords as the source writes them, to sift its lines by.
  const std::vector<std::string> textKeywords =
      keywordText ? HeadingMatcher::CutKeywords(*keywordText) : std::vector<std::string>{};
  if (keywordText && converts) {
    keywordText = TextCodec::Convert(*keywordText, text, r.textEncoding);
    if (!keywordText)
      message = Messages::Format(Messages::kUnwritableText, "关键字", "?", "GB18030");
  }
  if (!keywordText) {
    r.status = ScanResult::Status::Refused;
    r.error = std::move(message);
    return r;
  }
  const std::vector<std::string> keywords = HeadingMatcher::CutKeywords(*keywordText);
  SourceDecoder decoder(encodings->Source(), text, encodings->MarkBytes(), encodings->Output());

  HeadingMatcher matcher(keywords, series, titleLimit, matchRules);
  // The same keywords without the title limit (up to the longest line a title can be) tell
  // the near misses; with "?" it counts its own chapters.
  constexpr auto kNearMissMax = static_cast<std::int64_t>(HeadingForms::kMaxLineBytes);
  const bool nearMisses = 2 * titleLimit < kNearMissMax;
  HeadingMatcher wide(keywords, series, kNearMissMax / 2, matchRules);
  // Longer lines can be neither headings nor near misses: they are not converted.
  const std::int64_t matchMax = std::max(kNearMissMax, 2 * titleLimit);
  std::string converted;
  std::int64_t wideCount = 0;
  const bool oneMatcher = nearMisses && !HeadingMatcher::HasWildcard(keywords);
  HeadingForms forms;
  NumberingCheck numbering;

  std::int64_t count = 0;       // headings found
  std::int64_t pieceStart = 0;  // offset where the current piece's text begins
  std::string pieceTitle;
  const auto closePiece = [&](std::int64_t end) {
    const std::int64_t size = end - pieceStart;
    r.largestPiece = std::max(r.largestPiece, size);
    r.smallestPiece = r.pieces == 0 ? size : std::min(r.smallestPiece, size);
    ++r.pieces;
    pieceStart = end;
  };

  // One whole line as the split reads it, line r.lines, starting at source byte
  // `lineOffset`; it may be cleaned in place.
  const auto takeLine = [&](char* data, std::size_t size, std::int64_t lineOffset) {
    if (o.m_bTrimSpaces) {
      size = rules.WidenFullWidthSpaces(data, size);
      size = GbkText::TrimRight(std::string_view(data, size)).size();
      if (size == 0) return;
    }
    if (converts) {
      if (!rules.FitsTitle(std::string_view(data, size), matchMax) ||
          !HeadingMatcher::ToMatchText(std::string_view(data, size), text, converted)) {
        return;
      }
      data = converted.data();
      size = converted.size();
    }
    const std::string_view line(data, size);
    // The forms are told only while nothing is found: they are reported only then.
    if (count == 0 && size <= HeadingForms::kMaxLineBytes) forms.Add(line);
    bool wideHeading = false;
    bool heading = false;
    if (oneMatcher) {
      // Without "?" the wide matcher answers both questions: a heading is a wide heading
      // within the title limit. One search a line keeps the pass at read speed.
      wideHeading = wide.IsHeading(line, 0);
      heading = wideHeading && matchRules.FitsTitle(line, 2 * titleLimit);
    } else {
      wideHeading = nearMisses && wide.IsHeading(line, wideCount);
      if (wideHeading) ++wideCount;
      heading = matcher.IsHeading(line, count);
    }
    if (!heading) {
      if (wideHeading && !matchRules.FitsTitle(line, 2 * titleLimit) &&
          AtLineStart(line, wide.LastStart())) {
        const std::int64_t chars = (static_cast<std::int64_t>(size) + 1) / 2;
        ++r.nearMissCount;
        r.suggestedTitleMax = std::max(r.suggestedTitleMax, chars);
        if (r.nearMisses.size() < ScanResult::kMaxNearMissesListed) {
          r.nearMisses.push_back({r.lines, chars, std::string(line)});
        }
      }
      return;
    }
    if (count == 0) {
      r.prefaceBytes = lineOffset;
    } else {
      if (!r.headings.empty() && r.headings.back().index == count) {
        r.headings.back().size = lineOffset - r.headings.back().offset;
      }
      if (count % perFile == 0) closePiece(lineOffset);
    }
    ++count;
    ScannedHeading h;
    h.index = count;
    h.number = oneMatcher ? wide.LastNumber() : matcher.LastNumber();
    h.line = r.lines;
    h.offset = lineOffset;
    h.piece = (count - 1) / perFile + 1;
    h.title = ChapterSplitter::CleanTitle(line, matchRules);
    if ((count - 1) % perFile == 0) pieceTitle = h.title;
    h.file = PieceFileName(o, h.piece, pieceTitle, r.textEncoding);
    numbering.Add(h.number, h.line, h.index);
    if (r.headings.empty()) {
      // Room for a heading every 4 KB at once: a long book's list is not copied over and
      // over as it grows, and pages no heading reaches are never touched.
      const std::int64_t room = std::max<std::int64_t>(r.sourceBytes, 0) / 4096 + 64;
      r.headings.reserve(
          static_cast<std::size_t>(std::min<std::int64_t>(ScanResult::kMaxListed, room)));
    }
    if (r.headings.size() < ScanResult::kMaxListed) r.headings.push_back(std::move(h));
  };

  std::int64_t nextReport = kProgressStep;
  // False when the pass is to stop, having come to source byte `offset`.
  const auto keepGoing = [&](std::int64_t offset) {
    if (offset < nextReport) return true;
    nextReport = offset + kProgressStep;
    return !progress || progress(offset, r.sourceBytes);
  };

  // Text read as it lies in the file is sifted: only the lines that hold a keyword or a
  // heading form are looked at. A converted source is read line by line.
  std::vector<std::string> needles;
  if (!decoder.Converts()) needles = Needles(textKeywords, text);
  // A longer line is neither heading, near miss nor heading form: the sieve passes over
  // it. The limits measure characters as GBK does, which in GBK is the bytes; in another
  // encoding a character may take up to twice the bytes it measures. Trimming may shorten
  // a line, so then every line is looked at.
  auto lineLimit = static_cast<std::size_t>(-1);
  const std::int64_t longest =
      std::max(matchMax, static_cast<std::int64_t>(HeadingForms::kMaxLineBytes));
  if (!o.m_bTrimSpaces && longest <= static_cast<std::int64_t>(kPartLimit / 2)) {
    lineLimit = static_cast<std::size_t>(longest) * (text == Encoding::Gbk ? 1 : 2);
  }
  std::string failure;
  const Reading reading =
      needles.empty()
          ? ReadLines(o.m_strSrcPath, encodings->MarkBytes(), decoder, rules, r, takeLine,
                      keepGoing, failure)
          : SiftLines(
                o.m_strSrcPath, encodings->MarkBytes(), std::move(needles), lineLimit, r,
                [&](char* data, std::size_t size, std::int64_t lineOffset) {
                  takeLine(data, size, lineOffset);
                  return count > 0;  // then the forms are needed no more
                },
                keepGoing, failure);
  if (reading != Reading::Done) {
    r.status =
        reading == Reading::Stopped ? ScanResult::Status::Stopped : ScanResult::Status::Failed;
    r.error = std::move(failure);
    return r;
  }
  if (!r.headings.empty() && r.headings.back().index == count) {
    r.headings.back().size = r.sourceBytes - r.headings.back().offset;
  }
  closePiece(r.sourceBytes);
  r.headingCount = count;
  r.numbering = numbering.Issues();
  if (count == 0) r.forms = forms.Forms(titleLimit);
  if (progress) progress(r.sourceBytes, r.sourceBytes);
  return r;
}

}  // namespace sekato::engine

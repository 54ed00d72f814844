#include "inspection.h"

#include <algorithm>
#include <optional>

#include "chaptersplitter.h"
#include "gbktext.h"
#include "headingforms.h"
#include "headingmatcher.h"
#include "linereader.h"
#include "messages.h"
#include "textcodec.h"
#include "numberingcheck.h"
#include "numberparse.h"
#include "piecewriter.h"

namespace sekato::engine {

namespace {

// As the split reads long lines: in parts of this size, so memory stays bounded.
constexpr std::size_t kPartLimit = std::size_t{1} << 20;
constexpr std::int64_t kProgressStep = std::int64_t{1} << 20;

std::optional<std::string> Refusal(const std::string& keywordText,
                                   const std::vector<std::string>& keywords,
                                   std::int64_t perFile, std::int64_t titleLimit, int series) {
  if (keywordText.empty()) return std::string(Messages::kEmptyKeywords);
  if (perFile <= 0) return std::string(Messages::kBadChaptersPerFile);
  if (titleLimit < 0) return std::string(Messages::kNegativeTitle);
  if (keywords.size() > HeadingMatcher::kMaxKeywords) {
    return std::string(Messages::kTooManyKeywords);
  }
  if (series < 0 && HeadingMatcher::HasWildcard(keywords)) {
    return std::string(Messages::kNoNumeralSeries);
  }
  return std::nullopt;
}

// The name the piece `number`, opened by a heading titled `title`, ends up with.
std::string PieceFileName(const SplitOptions& o, std::int64_t number, const std::string& title) {
  std::string utf8Title;
  if (o.m_nNameMode == 2 && PieceWriter::TitleFileName(title, utf8Title)) {
    return PieceWriter::SequenceText(number) + "_" + utf8Title + ".txt";
  }
  const std::string& namePart = o.m_nNameMode == 1 ? o.m_strCustomName : o.m_strSrcTitle;
  return namePart + "_" + PieceWriter::SequenceText(number) + ".txt";
}

// True when only white space stands before byte `start` of `line`.
bool AtLineStart(std::string_view line, std::size_t start) {
  return GbkText::Trim(line.substr(0, start)).empty();
}

}  // namespace

InspectionResult Inspection::Run(const SplitOptions& o, int series, const Progress& progress) {
  InspectionResult r;
  if (series < 0 || series > 2) series = -1;
  const std::int64_t perFile = ParseNumber(o.m_strChaptersPerFile);
  const std::int64_t titleLimit = ParseNumber(o.m_strTitleMax);
  // The inspection reads the book as GBK: keywords typed in another encoding are made GBK.
  const auto gbkKeywords = TextCodec::Convert(o.m_strKeywords, o.m_textEncoding, Encoding::Gbk);
  if (!gbkKeywords) {
    r.status = InspectionResult::Status::Refused;
    r.error = Messages::Format(Messages::kUnwritableText, "关键字", "?", "GBK");
    return r;
  }
  const std::string keywordText = GbkText::NormaliseKeywords(*gbkKeywords);
  const std::vector<std::string> keywords = HeadingMatcher::CutKeywords(keywordText);
  r.titleMax = titleLimit;
  if (auto refusal = Refusal(keywordText, keywords, perFile, titleLimit, series)) {
    r.status = InspectionResult::Status::Refused;
    r.error = std::move(*refusal);
    return r;
  }

  LineReader source;
  std::string reason;
  if (!source.Open(o.m_strSrcPath, reason)) {
    r.status = InspectionResult::Status::Failed;
    r.error = Messages::Format(Messages::kOpenSource, o.m_strSrcPath, reason);
    return r;
  }
  r.sourceBytes = source.Length();
  // As the split reads them: a line longer than a part is body text, whatever it holds.
  source.SetPartLimit(kPartLimit);

  HeadingMatcher matcher(keywords, series, titleLimit);
  // The same keywords without the title limit (up to the longest line a title can be) tell
  // the near misses; with "?" it counts its own chapters.
  constexpr auto kNearMissMax = static_cast<std::int64_t>(HeadingForms::kMaxLineBytes);
  const bool nearMisses = 2 * titleLimit < kNearMissMax;
  HeadingMatcher wide(keywords, series, kNearMissMax / 2);
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

  char* data = nullptr;
  std::size_t size = 0;
  bool complete = true;
  bool inLine = false;
  std::int64_t offset = 0;  // where the line being read begins
  std::int64_t nextReport = kProgressStep;
  while (source.Next(data, size, complete)) {
    const bool lineStart = !inLine;
    inLine = !complete;
    const std::int64_t lineOffset = offset;
    offset = source.Position();
    if (lineStart) ++r.lines;
    if (offset >= nextReport) {
      nextReport = offset + kProgressStep;
      if (progress && !progress(offset, r.sourceBytes)) {
        r.status = InspectionResult::Status::Stopped;
        return r;
      }
    }
    if (!lineStart || !complete) continue;  // parts of a long line are body text
    if (o.m_bTrimSpaces) {
      GbkText::WidenFullWidthSpaces(data, size);
      size = GbkText::TrimRight(std::string_view(data, size)).size();
      if (size == 0) continue;
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
      heading = wideHeading && static_cast<std::int64_t>(size) <= 2 * titleLimit;
    } else {
      wideHeading = nearMisses && wide.IsHeading(line, wideCount);
      if (wideHeading) ++wideCount;
      heading = matcher.IsHeading(line, count);
    }
    if (!heading) {
      if (wideHeading && static_cast<std::int64_t>(size) > 2 * titleLimit &&
          AtLineStart(line, wide.LastStart())) {
        const std::int64_t chars = (static_cast<std::int64_t>(size) + 1) / 2;
        ++r.nearMissCount;
        r.suggestedTitleMax = std::max(r.suggestedTitleMax, chars);
        if (r.nearMisses.size() < InspectionResult::kMaxNearMissesListed) {
          r.nearMisses.push_back({r.lines, chars, std::string(line)});
        }
      }
      continue;
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
    InspectedHeading h;
    h.index = count;
    h.number = oneMatcher ? wide.LastNumber() : matcher.LastNumber();
    h.line = r.lines;
    h.offset = lineOffset;
    h.piece = (count - 1) / perFile + 1;
    h.title = ChapterSplitter::CleanTitle(line);
    if ((count - 1) % perFile == 0) pieceTitle = h.title;
    h.file = PieceFileName(o, h.piece, pieceTitle);
    numbering.Add(h.number, h.line, h.index);
    if (r.headings.size() < InspectionResult::kMaxListed) r.headings.push_back(std::move(h));
  }
  if (source.Failed()) {
    r.status = InspectionResult::Status::Failed;
    r.error = Messages::Format(Messages::kReadSource, o.m_strSrcPath, source.Error());
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

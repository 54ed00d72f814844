#include "chapterlisting.h"

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

// True when only white space stands before byte `start` of `line`.
bool AtLineStart(std::string_view line, std::size_t start) {
  return AsciiText::Trim(line.substr(0, start)).empty();
}

}  // namespace

bool ChapterListing::Prepare(SplitHost* host) {
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

void ChapterListing::ClosePiece(std::int64_t end) {
  const std::int64_t size = end - m_pieceStart;
  m_r.largestPiece = std::max(m_r.largestPiece, size);
  m_r.smallestPiece = m_r.pieces == 0 ? size : std::min(m_r.smallestPiece, size);
  ++m_r.pieces;
  m_pieceStart = end;
  if (!m_pieceStarts.empty()) {
    m_pieceStarts.back().title = m_pieceTitle;
    m_pieceStarts.push_back({end, {}});
  }
}

void ChapterListing::TakeLine(char* data, std::size_t size, std::int64_t lineOffset) {
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

void ChapterListing::TakeNearMiss(std::string_view line) {
  const std::int64_t chars = (static_cast<std::int64_t>(line.size()) + 1) / 2;
  ++m_r.nearMissCount;
  m_r.suggestedTitleMax = std::max(m_r.suggestedTitleMax, chars);
  if (m_r.nearMisses.size() < ScanResult::kMaxNearMissesListed) {
    m_r.nearMisses.push_back({m_r.lines, chars, std::string(line)});
  }
}

void ChapterListing::TakeVolume(std::string_view line, std::int64_t lineOffset) {
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

void ChapterListing::TakeHeading(std::string_view line, std::int64_t lineOffset,
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
  const bool namesPiece = opens || opened || m_count == 1;
  if (!m_pieceStarts.empty()) {
    // Only the pieces are kept: no heading is listed, and a title made only to name one.
    if (namesPiece && m_plan.Namer().ByTitle()) {
      m_pieceTitle = title ? *title : ChapterSplitter::CleanTitle(line, *m_matchRules);
    }
    m_numbering.Add(m_oneMatcher && !m_byRule ? m_wide->LastNumber() : m_matcher->LastNumber(),
                    m_r.lines, m_count);
    return;
  }
  ScannedHeading h;
  h.index = m_count;
  h.number = m_oneMatcher && !m_byRule ? m_wide->LastNumber() : m_matcher->LastNumber();
  h.line = m_r.lines;
  h.offset = lineOffset;
  h.piece = m_r.pieces + 1;
  h.title = title ? *title : ChapterSplitter::CleanTitle(line, *m_matchRules);
  if (namesPiece) m_pieceTitle = h.title;
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

std::optional<Message> ChapterListing::Warning() const {
  const HeadingRule* rule = m_matcher ? m_matcher->Rule() : nullptr;
  if (!rule || rule->FirstCostlyLine().empty()) return std::nullopt;
  return Message{MessageId::CostlyPattern, {rule->FirstCostlyLine()}};
}

void ChapterListing::Finish(SplitHost* host) {
  if (auto warning = Warning(); host && warning) host->Warn(*warning);
  if (!m_r.headings.empty() && m_r.headings.back().index == m_count) {
    m_r.headings.back().size = m_r.sourceBytes - m_r.headings.back().offset;
  }
  ClosePiece(m_r.sourceBytes);
  // The book's end opens no piece.
  if (!m_pieceStarts.empty()) m_pieceStarts.pop_back();
  m_r.headingCount = m_count;
  m_r.numbering = m_numbering.Issues();
  if (m_count == 0) m_r.forms = m_forms.Forms(m_options.titleMax);
}

}  // namespace sekato::engine

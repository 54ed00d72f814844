#include <algorithm>

#include "bytesource.h"
#include "chapterlisting.h"
#include "headingsurvey.h"
#include "patchedfile.h"
#include "progressshare.h"
#include "rangesplitpass.h"
#include "sekato/splitrun.h"
#include "splitplan.h"
#include "splitrunplan.h"
#include "surveyslice.h"

namespace sekato::engine {

namespace {

/// Where the text of a book of `bytes` that `source` reads ends for the pieces (see
/// RangeSplitPass::TextEnd); -1 when its first line is empty, which a cut by ranges would
/// write otherwise than the split line by line, or it cannot be read.
std::int64_t TextEndOf(const ByteSource& source, std::int64_t bytes) {
  char first[2] = {};
  char last = 0;
  int error = 0;
  const auto head = static_cast<std::size_t>(std::min<std::int64_t>(bytes, 2));
  if (bytes < 1 || source.ReadFullyAt(first, head, 0, error) != head ||
      source.ReadFullyAt(&last, 1, bytes - 1, error) != 1) {
    return -1;
  }
  if (first[0] == '\n' || (head == 2 && first[0] == '\r' && first[1] == '\n')) return -1;
  // Every line feed has its CR (the survey saw to that): a last one goes with two bytes.
  return last == '\n' ? bytes - 2 : bytes;
}

}  // namespace

SplitEnd SplitRun::ExecuteDetected() {
  // The book is looked at first; the split then goes by the rule found, as by a --regex.
  // What the options refuse is refused before the book is read.
  if (auto refusal = SplitPlan(m_options).Refusal(SplitPlan::Purpose::Split)) {
    return {SplitOutcome::Refused, std::move(*refusal), {}};
  }
  ProgressShare detection(m_host, 0, 2);
  // A split line by line needs the places of the lines detection saw, not their text; one
  // by byte ranges matches the lines where detection kept them.
  const bool ranges = RangeOptions();
  Detected detected{HeadingSurvey::Run(m_options, &detection, ranges)};
  HeadingSurvey::Result& survey = detected.survey;
  switch (survey.end) {
    case HeadingSurvey::End::Done:
      break;
    case HeadingSurvey::End::Stopped:
      return {SplitOutcome::Stopped, {MessageId::Stopped}, {}};
    case HeadingSurvey::End::Refused:
      return {SplitOutcome::Refused, std::move(survey.message), {}};
    case HeadingSurvey::End::Failed:
      return {SplitOutcome::Failed, std::move(survey.message), {}};
  }
  if (!survey.detection.found) return {SplitOutcome::Refused, {MessageId::NothingDetected}, {}};
  // The split by the rule found is the second half of the run.
  SplitOptions byRule = m_options;
  byRule.autoDetect = false;
  HeadingSurvey::Apply(survey.detection, byRule);
  // The encoding the survey found holds for the second pass: not guessed again.
  byRule.encoding = survey.sourceEncoding;
  ProgressShare split(m_host, 1, 2);
  SplitRun run(std::move(byRule), split);
  run.m_bRangeCopies = m_bRangeCopies;
  if (ranges && survey.allSeen && survey.crlfOnly) {
    run.m_pDetected = &detected;
    SplitEnd end = run.Execute();
    m_bDetectedRanges = run.m_bDetectedRanges;
    return end;
  }
  // The lines detection saw that may start a heading are the only ones the rule can take:
  // the split matches only them, and writes the rest in runs.
  if (survey.allSeen) {
    run.m_onlyLines.reserve(survey.seen.size());
    for (const auto& seen : survey.seen) run.m_onlyLines.push_back(seen.line);
    survey.seen = {};
    survey.seenText = {};
  }
  return run.Execute();
}

std::optional<SplitEnd> SplitRun::SplitDetected(Plan& plan) {
  HeadingSurvey::Result& survey = m_pDetected->survey;
  m_pDetected = nullptr;
  // Line by line, only the lines detection kept can be headings; what it kept of them goes.
  const auto lineByLine = [&] {
    m_onlyLines.reserve(survey.seen.size());
    for (const auto& seen : survey.seen) m_onlyLines.push_back(seen.line);
    survey.seen = {};
    survey.seenText = {};
    return std::nullopt;
  };
  const SplitOptions& o = m_options;
  // GBK, GB18030 and Big5 go into the pieces unchecked; UTF-8 would be checked as it is read.
  if (!BytesAsTheyLie(plan) || plan.encodings->Source() == Encoding::Utf8 ||
      !plan.split.ByRule() || PatchedFile::Find(o.sourcePath)) {
    return lineByLine();
  }
  // The pieces the rule gives, found among the lines kept as the chapter list finds them.
  ChapterListing listing(o);
  listing.KeepPieces();
  if (!listing.Prepare(nullptr) ||
      !listing.ReadSeenByRule(survey, SurveySlice::Threads(), nullptr)) {
    return lineByLine();
  }
  listing.Finish(nullptr);
  const ScanResult& found = listing.Result();
  ByteSource source;
  std::string reason;
  // The list matches a Big5 book's lines converted, which may take a line the split takes
  // otherwise; a book that changed since detection read it is read again. Both go line by
  // line.
  if (found.status != ScanResult::Status::Done || found.headingCount < 1 ||
      found.textEncoding != plan.encodings->Text() ||
      found.sourceBytes != survey.sourceBytes || !source.Open(o.sourcePath, reason) ||
      source.Length() != survey.sourceBytes) {
    return lineByLine();
  }
  const std::int64_t end = TextEndOf(source, source.Length());
  if (end < 0) return lineByLine();
  survey.seen = {};
  survey.seenText = {};

  const bool titleNames = plan.split.Namer().ByTitle();
  std::vector<RangeSplitPass::Piece> pieces;
  pieces.reserve(listing.Pieces().size());
  for (const ChapterListing::PieceStart& piece : listing.Pieces()) {
    pieces.push_back(
        {piece.offset, titleNames ? &piece.title : nullptr, found.textEncoding});
  }
  PieceWriter writer(plan.layout, source.Device(), source.Inode());
  const RangeSplitPass::Settings settings{o.sourcePath, plan.split.Directory(),
                                          found.headingCount};
  RangeSplitPass pass(source, writer, m_host, settings);
  m_bDetectedRanges = true;
  SplitEnd run = pass.Run(pieces, end);
  if (auto warning = listing.Warning()) m_host.Warn(*warning);
  run.tally.gapsOrRepeats = std::any_of(
      found.numbering.begin(), found.numbering.end(),
      [](const NumberingIssue& issue) { return issue.kind != NumberingIssue::Kind::OutOfOrder; });
  return run;
}

}  // namespace sekato::engine

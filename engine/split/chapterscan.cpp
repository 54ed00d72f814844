#include "sekato/chapterscan.h"

#include <filesystem>
#include <optional>

#include "chapterlisting.h"
#include "headingsurvey.h"
#include "linetransform.h"
#include "progressshare.h"
#include "runencodings.h"
#include "sekato/message.h"
#include "sourcefingerprint.h"
#include "splitplan.h"
#include "surveyslice.h"
#include "transformedtext.h"

namespace sekato::engine {

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
    ChapterListing listing(options);
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
    ChapterListing listing(byRule);
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

#include "headingsurvey.h"

#include <algorithm>

#include "candidatesieve.h"
#include "headingdetector.h"
#include "linewalk.h"
#include "runencodings.h"
#include "sourcedecoder.h"
#include "textconverter.h"

namespace sekato::engine {
namespace {

constexpr std::int64_t kProgressStep = std::int64_t{1} << 20;

}  // namespace

HeadingSurvey::Result HeadingSurvey::Run(const SplitOptions& options, SplitHost* host) {
  Result result;
  // The source is read in its own encoding, as the chapter list reads it.
  SplitOptions asSource = options;
  asSource.outEncoding = Encoding::Auto;
  bool refused = false;
  const auto encodings = RunEncodings::Resolve(asSource, result.message, refused);
  if (!encodings) {
    result.end = refused ? End::Refused : End::Failed;
    return result;
  }
  if (host) host->ReportEncoding(encodings->Source(), encodings->Detected());
  result.sourceEncoding = encodings->Source();
  const Encoding text = encodings->Text();
  SourceDecoder decoder(encodings->Source(), text, encodings->MarkBytes(), encodings->Output());
  HeadingDetector detector(options.titleMax);
  const CandidateSieve sieve(text, std::max(options.titleMax, HeadingDetector::kMinTitleChars));
  TextConverter toUtf8(text, Encoding::Utf8);
  std::string utf8;
  std::int64_t& lines = result.lines;
  std::int64_t& sourceBytes = result.sourceBytes;
  std::int64_t last = 0;  // the line taken last
  const auto take = [&](char* data, std::size_t size, std::int64_t /*offset*/) {
    // A line skipped since the last one was too long to take: body text.
    if (lines > last + 1) detector.OfferBody(last + 1);
    last = lines;
    const std::string_view line(data, size);
    switch (sieve.Look(line)) {
      case CandidateSieve::Verdict::Blank:
        return;
      case CandidateSieve::Verdict::Body:
        detector.OfferBody(lines);
        return;
      case CandidateSieve::Verdict::Candidate:
        break;
    }
    if (text == Encoding::Utf8) {
      detector.Offer(lines, line);
      return;
    }
    utf8.clear();
    if (toUtf8.ConvertPrefix(line, utf8) == size) {
      detector.Offer(lines, utf8);
    } else {
      detector.OfferBody(lines);
    }
  };
  std::int64_t nextReport = kProgressStep;
  const auto keepGoing = [&](std::int64_t offset) {
    if (offset < nextReport) return true;
    nextReport = offset + kProgressStep;
    return !host || host->Progress(offset, sourceBytes);
  };
  switch (LineWalk::Run(options.sourcePath, encodings->MarkBytes(), decoder, encodings->Rules(),
                        lines, sourceBytes, take, keepGoing, result.message)) {
    case LineWalk::End::Done:
      break;
    case LineWalk::End::Stopped:
      result.end = End::Stopped;
      return result;
    case LineWalk::End::Failed:
      result.end = End::Failed;
      return result;
  }
  if (lines > last) detector.OfferBody(last + 1);
  if (host) host->Progress(sourceBytes, sourceBytes);
  result.detection = detector.Decide();
  return result;
}

void HeadingSurvey::Apply(const HeadingDetection& found, SplitOptions& options) {
  options.regex = found.chapters.pattern;
  options.exclude.clear();
  options.volumeRegex = found.volumes.pattern;
  options.headingsFrom = found.contentsLast > 0 ? found.contentsLast + 1 : 0;
  options.titleMax = std::max(options.titleMax, found.longestTitle);
}

}  // namespace sekato::engine
